#include "conversion/batch_runner.h"

#include <windows.h>

#include <algorithm>
#include <bit>
#include <list>
#include <memory>

#include "conversion/conversion_messages.h"
#include "conversion/conversion_names.h"
#include "conversion/convert_command.h"
#include "conversion/file_operations.h"
#include "conversion/process_events.h"
#include "conversion/tool_runner.h"

namespace {
constexpr DWORD wake_interval_ms = 15;
constexpr int most_parallel_conversions = 4;

// One file on its way from the voice file to its MP3: the decoder run, then the
// encoder run, each started when the one before has ended.
class file_conversion {
public:
    file_conversion(const batch_item& item, int position, const tool_paths& tools)
        : item_(item), position_(position), tools_(tools)
    {
    }
    file_conversion(const file_conversion&) = delete;
    file_conversion& operator=(const file_conversion&) = delete;

    // Ends a running tool before its files go: a partial MP3 or PCM never stays.
    ~file_conversion()
    {
        tool_.reset();
        for (const Text& path : {pcm_, partial_mp3_})
            if (!path.empty())
                delete_file(path);
    }

    const batch_item& item() const { return item_; }
    int position() const { return position_; }
    const Text& failure_reason() const { return failure_reason_; }
    bool is_running() const { return tool_ != nullptr; }
    HANDLE tool_handle() const { return tool_->handle(); }
    void read_waiting_output(progress_view* view) { tool_->read_waiting_output(view); }

    void start(progress_view* view)
    {
        pcm_ = new_temporary_file();
        if (pcm_.empty())
            return fail(no_temporary_file_reason());
        start_tool(tools_.decoder, decoder_tool_name, decoder_command_line(tools_.decoder, item_.source, pcm_), view,
                   [this](const Text& chunk) { decoder_errors_.add_output(chunk); });
    }

    // The running tool has ended: checks its outcome and starts the next one.
    void tool_ended(progress_view* view)
    {
        const tool_run run{true, false, tool_->finish(view)};
        tool_.reset();
        if (!encoding_)
            decoder_ended(run, view);
        else
            encoder_ended(run);
    }

    bool succeeded() const { return done_ && failure_reason_.empty(); }

private:
    void decoder_ended(const tool_run& run, progress_view* view)
    {
        if (Text reason = tool_failure_reason(run, decoder_tool_name, decoder_errors_.first_error_line());
            !reason.empty())
            return fail(reason);
        if (file_size(pcm_) <= 0)
            return fail(no_audio_reason());
        // The MP3 takes its final name only when it is complete.
        partial_mp3_ = new_temporary_file(directory_of(item_.mp3));
        if (partial_mp3_.empty())
            return fail(no_mp3_reason());
        encoding_ = true;
        start_tool(tools_.encoder, encoder_tool_name, encoder_command_line(tools_.encoder, pcm_, partial_mp3_), view,
                   {});
    }

    void encoder_ended(const tool_run& run)
    {
        if (Text reason = tool_failure_reason(run, encoder_tool_name); !reason.empty())
            return fail(reason);
        if (file_size(partial_mp3_) <= 0 || !replace_file(partial_mp3_, item_.mp3))
            return fail(no_mp3_reason());
        partial_mp3_.clear();
        done_ = true;
    }

    void start_tool(const Text& tool, const Text& tool_name, const Text& command_line, progress_view* view,
                    output_listener listener)
    {
        tool_ = std::make_unique<tool_process>(tool, command_line, std::move(listener));
        if (!tool_->started()) {
            tool_.reset();
            return fail(tool_not_started_reason(tool_name));
        }
        if (view != nullptr)
            view->show_progress_position(0);
    }

    void fail(const Text& reason)
    {
        failure_reason_ = reason;
        done_ = true;
    }

    batch_item item_;
    int position_;
    const tool_paths& tools_;
    Text pcm_;
    Text partial_mp3_;
    Text failure_reason_;
    error_line_finder decoder_errors_;
    std::unique_ptr<tool_process> tool_;
    bool encoding_ = false;
    bool done_ = false;
};

class batch_run {
public:
    batch_run(const std::vector<batch_item>& items, const tool_paths& tools, batch_view& view, int parallel)
        : items_(items), tools_(tools), view_(view), parallel_(std::max(parallel, 1))
    {
    }

    batch_outcome run()
    {
        while (!outcome_.cancelled) {
            start_while_room();
            if (running_.empty())
                break;
            follow_oldest();
            for (auto& conversion : running_)
                conversion->read_waiting_output(displayed(*conversion));
            if (view_.is_closed()) {
                outcome_.cancelled = true;
                break;
            }
            wait_for_a_tool_or_a_message();
        }
        running_.clear();
        return outcome_;
    }

private:
    void start_while_room()
    {
        while (static_cast<int>(running_.size()) < parallel_ && next_ < items_.size()) {
            auto conversion = std::make_unique<file_conversion>(items_[next_], static_cast<int>(next_) + 1, tools_);
            ++next_;
            conversion->start(running_.empty() ? &view_ : nullptr);
            if (conversion->is_running())
                running_.push_back(std::move(conversion));
            else
                record(*conversion);
        }
    }

    void follow_oldest()
    {
        const int position = running_.front()->position();
        if (position == shown_position_)
            return;
        shown_position_ = position;
        view_.show_window_caption(batch_caption(position, static_cast<int>(items_.size())));
    }

    progress_view* displayed(const file_conversion& conversion)
    {
        return &conversion == running_.front().get() ? &view_ : nullptr;
    }

    void wait_for_a_tool_or_a_message()
    {
        std::vector<HANDLE> tools;
        for (const auto& conversion : running_)
            tools.push_back(conversion->tool_handle());
        const DWORD woken_by = MsgWaitForMultipleObjects(static_cast<DWORD>(tools.size()), tools.data(), FALSE,
                                                         wake_interval_ms, QS_ALLINPUT);
        if (woken_by >= WAIT_OBJECT_0 + tools.size()) {
            process_events();
            return;
        }
        auto ended = std::next(running_.begin(), woken_by - WAIT_OBJECT_0);
        (*ended)->tool_ended(displayed(**ended));
        if (!(*ended)->is_running()) {
            record(**ended);
            running_.erase(ended);
        }
    }

    void record(const file_conversion& conversion)
    {
        if (conversion.succeeded())
            ++outcome_.converted;
        else
            outcome_.failures.push_back({conversion.item().source, conversion.failure_reason()});
    }

    const std::vector<batch_item>& items_;
    const tool_paths& tools_;
    batch_view& view_;
    const int parallel_;
    std::size_t next_ = 0;
    std::list<std::unique_ptr<file_conversion>> running_;  // the oldest first
    int shown_position_ = 0;
    batch_outcome outcome_;
};
}  // namespace

int parallel_conversions()
{
    DWORD_PTR process_mask = 0;
    DWORD_PTR system_mask = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process_mask, &system_mask) || process_mask == 0)
        return 1;
    return std::min(std::popcount(static_cast<std::uint64_t>(process_mask)), most_parallel_conversions);
}

batch_outcome run_batch(const std::vector<batch_item>& items, const tool_paths& tools, batch_view& view, int parallel)
{
    return batch_run(items, tools, view, parallel).run();
}
