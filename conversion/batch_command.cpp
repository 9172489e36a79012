#include "conversion/batch_command.h"

#include "conversion/batch_disk.h"
#include "conversion/conversion_messages.h"
#include "conversion/convert_command.h"
#include "conversion/file_operations.h"

namespace {
constexpr char window_caption[] = "Velmora";

batch_outcome convert_all(const batch_plan& plan, batch_view& view)
{
    if (plan.items.empty())
        return {};
    const auto tools = deploy_tools();
    if (tools)
        return run_batch(plan.items, *tools, view, parallel_conversions());
    batch_outcome outcome;
    for (const batch_item& item : plan.items)
        outcome.failures.push_back({item.source, tools_not_written_reason()});
    return outcome;
}

void report(const batch_plan& plan, const batch_outcome& outcome)
{
    std::vector<batch_failure> failures = plan.failures;
    failures.insert(failures.end(), outcome.failures.begin(), outcome.failures.end());
    batch_counts counts = plan.counts;
    counts.converted = outcome.converted;
    if (!failures.empty())
        write_file(plan.failure_list_path, failure_list_text(failures));
    message_box(with_contact_note(batch_summary_text(counts, failures, plan.failure_list_path), 4), message_box_style,
                message_title());
}
}  // namespace

void convert_files_clicked(batch_view& view)
{
    const Text text = view.path_text();
    const windows_disk disk;
    if (!is_batch_request(text, disk)) {
        convert_button_clicked(view);
        return;
    }
    view.set_input_enabled(false);
    const batch_plan plan = plan_batch(split_path_list(text), disk);
    const batch_outcome outcome = convert_all(plan, view);
    if (outcome.cancelled || view.is_closed())
        return;  // the window is gone: nobody is left to tell
    view.show_window_caption(window_caption);
    view.set_input_enabled(true);
    report(plan, outcome);
}
