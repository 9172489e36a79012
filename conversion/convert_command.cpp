#include "conversion/convert_command.h"

#include "conversion/conversion_messages.h"
#include "conversion/conversion_names.h"
#include "conversion/file_operations.h"
#include "conversion/tool_deployment.h"
#include "conversion/tool_runner.h"

namespace {
// The files of one conversion that must not outlive it.
class intermediate_files {
public:
    intermediate_files() = default;
    intermediate_files(const intermediate_files&) = delete;
    intermediate_files& operator=(const intermediate_files&) = delete;
    ~intermediate_files()
    {
        for (const Text& path : {pcm, partial_mp3})
            if (!path.empty())
                delete_file(path);
    }

    Text pcm;
    Text partial_mp3;
};

conversion_result failed(const Text& reason)
{
    return {conversion_status::failed, Text(), reason};
}

conversion_result cancelled()
{
    return {conversion_status::cancelled, Text(), Text()};
}

void show_outcome(const conversion_result& result)
{
    const Text text =
        result.status == conversion_status::completed ? completed_message() : failed_message(result.failure_reason);
    message_box(text, message_box_style, message_title());
}
}  // namespace

Text tool_failure_reason(const tool_run& run, const Text& tool_name, const Text& error_line)
{
    if (!run.started)
        return tool_not_started_reason(tool_name);
    if (!error_line.empty())
        return error_line;
    if (run.exit_status != 0)
        return tool_exit_status_reason(tool_name, run.exit_status);
    return Text();
}

input_check check_input(const Text& input_path)
{
    if (input_path.empty())
        return input_check::empty_path;
    if (!has_silk_header(read_file_head(input_path, silk_header_probe_size)))
        return input_check::not_silk;
    return input_check::usable;
}

conversion_result convert_one_file(const Text& input_path, progress_view& view)
{
    // 1. Both tools on disk, verified against the images the program carries.
    const auto tools = deploy_tools();
    if (!tools)
        return failed(tools_not_written_reason());

    // 2. The decoded samples go to a file of our own, never next to the input.
    intermediate_files files;
    files.pcm = new_temporary_file();
    if (files.pcm.empty())
        return failed(no_temporary_file_reason());

    // 3. Decoder run: voice file to raw PCM.
    error_line_finder decoder_errors;
    const tool_run decoding =
        run_tool_with_progress(tools->decoder, decoder_command_line(tools->decoder, input_path, files.pcm), view,
                               [&](const Text& chunk) { decoder_errors.add_output(chunk); });
    if (decoding.cancelled)
        return cancelled();
    if (Text reason = tool_failure_reason(decoding, decoder_tool_name, decoder_errors.first_error_line());
        !reason.empty())
        return failed(reason);
    if (file_size(files.pcm) <= 0)
        return failed(no_audio_reason());

    // 4. Encoder run: raw PCM to an MP3 that only takes the final name when complete.
    const Text mp3_path = mp3_path_for(input_path);
    files.partial_mp3 = new_temporary_file(directory_of(mp3_path));
    if (files.partial_mp3.empty())
        return failed(no_mp3_reason());
    const tool_run encoding = run_tool_with_progress(
        tools->encoder, encoder_command_line(tools->encoder, files.pcm, files.partial_mp3), view);
    if (encoding.cancelled)
        return cancelled();
    if (Text reason = tool_failure_reason(encoding, encoder_tool_name); !reason.empty())
        return failed(reason);

    // 5. The result replaces the final name in one step.
    if (file_size(files.partial_mp3) <= 0 || !replace_file(files.partial_mp3, mp3_path))
        return failed(no_mp3_reason());
    files.partial_mp3.clear();
    return {conversion_status::completed, mp3_path, Text()};
}

void convert_button_clicked(conversion_view& view)
{
    const Text input_path = view.path_text();
    switch (check_input(input_path)) {
    case input_check::empty_path:
        message_box(empty_path_message(), message_box_style, message_title());
        return;
    case input_check::not_silk:
        message_box(not_silk_message(), message_box_style, message_title());
        return;
    case input_check::usable:
        break;
    }
    view.set_input_enabled(false);
    const conversion_result result = convert_one_file(input_path, view);
    if (result.status == conversion_status::cancelled || view.is_closed())
        return;  // the window is gone: nobody is left to tell
    view.set_input_enabled(true);
    show_outcome(result);
}
