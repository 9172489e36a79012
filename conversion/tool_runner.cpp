#include "conversion/tool_runner.h"

#include <windows.h>

#include "conversion/process_events.h"
#include "conversion/progress_display.h"

namespace {
// Short enough that the window feels immediate, long enough that waiting costs
// next to no processor time.
constexpr DWORD wake_interval_ms = 15;

struct pipe_ends {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
};

pipe_ends create_output_pipe()
{
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
    pipe_ends pipe;
    if (!CreatePipe(&pipe.read, &pipe.write, &attributes, 0))
        return {};
    // Only the write end is the tool's business.
    SetHandleInformation(pipe.read, HANDLE_FLAG_INHERIT, 0);
    return pipe;
}

// The path up to and including its last backslash.
Text folder_with_backslash(const Text& application_path)
{
    const int last_backslash = find_text_last(application_path, "\\", false);
    return last_backslash == -1 ? Text() : text_left(application_path, last_backslash);
}

PROCESS_INFORMATION start_tool(const Text& application_path, const Text& command_line, HANDLE output)
{
    STARTUPINFOA start_info{};
    start_info.cb = sizeof start_info;
    start_info.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    start_info.wShowWindow = SW_HIDE;
    start_info.hStdOutput = output;
    start_info.hStdError = output;
    const Text working_directory = folder_with_backslash(application_path);
    Text writable_command_line = command_line;
    PROCESS_INFORMATION process_info{};
    CreateProcessA(application_path.c_str(), writable_command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                   working_directory.empty() ? nullptr : working_directory.c_str(), &start_info, &process_info);
    return process_info;
}

DWORD bytes_waiting(HANDLE read_end)
{
    DWORD available = 0;
    if (read_end == nullptr || !PeekNamedPipe(read_end, nullptr, 0, nullptr, &available, nullptr))
        return 0;
    return available;
}

class output_reader {
public:
    output_reader(HANDLE read_end, progress_view& view, const output_listener& listener)
        : read_end_(read_end), view_(view), listener_(listener)
    {
    }

    // Handles what has arrived so far, chunk by chunk, without waiting for more.
    void read_waiting_output()
    {
        DWORD waiting = bytes_waiting(read_end_);
        while (waiting > 0 && !view_.is_closed()) {
            const DWORD delivered = read_chunk();
            if (delivered == 0)
                return;
            waiting = delivered < waiting ? waiting - delivered : 0;
        }
    }

    // After the tool has ended: everything it printed is in the pipe.
    void read_to_end()
    {
        while (bytes_waiting(read_end_) > 0 && !view_.is_closed())
            if (read_chunk() == 0)
                return;
    }

private:
    DWORD read_chunk()
    {
        Text chunk(chunk_size, '\0');
        DWORD delivered = 0;
        if (!ReadFile(read_end_, chunk.data(), chunk_size, &delivered, nullptr))
            return 0;
        chunk.resize(delivered);
        if (listener_)
            listener_(chunk);
        if (auto display = display_for_chunk(chunk)) {
            view_.show_progress_position(display->position);
            view_.show_progress_caption(display->caption);
        }
        return delivered;
    }

    HANDLE read_end_;
    progress_view& view_;
    const output_listener& listener_;
};

bool has_ended(HANDLE process)
{
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

// Only ever our own child, by its handle.
void end_if_still_running(HANDLE process)
{
    if (has_ended(process))
        return;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, INFINITE);
}

void close_handle(HANDLE handle)
{
    if (handle != nullptr)
        CloseHandle(handle);
}
}  // namespace

tool_run run_tool_with_progress(const Text& application_path, const Text& command_line, progress_view& view,
                                const output_listener& listener)
{
    pipe_ends pipe = create_output_pipe();
    PROCESS_INFORMATION process_info = start_tool(application_path, command_line, pipe.write);
    close_handle(pipe.write);
    view.show_progress_position(0);

    tool_run run;
    run.started = process_info.hProcess != nullptr;
    output_reader reader(pipe.read, view, listener);
    while (run.started) {
        reader.read_waiting_output();
        if (view.is_closed()) {
            run.cancelled = true;
            break;
        }
        const DWORD woken_by = MsgWaitForMultipleObjects(1, &process_info.hProcess, FALSE, wake_interval_ms,
                                                         QS_ALLINPUT);
        if (woken_by == WAIT_OBJECT_0) {
            reader.read_to_end();
            break;
        }
        process_events();
    }
    if (run.started) {
        end_if_still_running(process_info.hProcess);
        GetExitCodeProcess(process_info.hProcess, &run.exit_status);
    }
    close_handle(process_info.hProcess);
    close_handle(process_info.hThread);
    close_handle(pipe.read);
    return run;
}
