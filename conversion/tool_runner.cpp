#include "conversion/tool_runner.h"

#include <windows.h>

#include <algorithm>

#include "conversion/process_events.h"
#include "conversion/progress_display.h"

namespace {
// Short enough that the window feels immediate, long enough that waiting costs
// next to no processor time.
constexpr DWORD wake_interval_ms = 15;
// Room for what a chatty tool prints between two wakes, so it never waits for us
// (the decoder tool writes its packet counter for every packet, 50 a second of voice).
constexpr DWORD pipe_buffer_size = 1 << 16;

struct pipe_ends {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
};

pipe_ends create_output_pipe()
{
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
    pipe_ends pipe;
    if (!CreatePipe(&pipe.read, &pipe.write, &attributes, pipe_buffer_size))
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

bool has_ended(HANDLE process)
{
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

void close_handle(HANDLE handle)
{
    if (handle != nullptr)
        CloseHandle(handle);
}

bool view_closed(const progress_view* view)
{
    return view != nullptr && view->is_closed();
}
}  // namespace

tool_process::tool_process(const Text& application_path, const Text& command_line, output_listener listener)
    : listener_(std::move(listener))
{
    pipe_ends pipe = create_output_pipe();
    const PROCESS_INFORMATION process_info = start_tool(application_path, command_line, pipe.write);
    close_handle(pipe.write);
    process_ = process_info.hProcess;
    thread_ = process_info.hThread;
    read_end_ = pipe.read;
}

tool_process::~tool_process()
{
    if (process_ != nullptr && !has_ended(process_)) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, INFINITE);
    }
    close_handle(process_);
    close_handle(thread_);
    close_handle(read_end_);
}

void tool_process::read_waiting_output(progress_view* view)
{
    DWORD waiting = bytes_waiting(read_end_);
    while (waiting > 0 && !view_closed(view)) {
        const DWORD delivered = read_chunks(view, waiting);
        if (delivered == 0)
            return;
        waiting = delivered < waiting ? waiting - delivered : 0;
    }
}

unsigned long tool_process::finish(progress_view* view)
{
    // The tool has ended: everything it printed is in the pipe.
    DWORD waiting = bytes_waiting(read_end_);
    while (waiting > 0 && !view_closed(view) && read_chunks(view, waiting) > 0)
        waiting = bytes_waiting(read_end_);
    DWORD exit_status = 0;
    GetExitCodeProcess(process_, &exit_status);
    return exit_status;
}

// One read takes everything waiting; it is then handled in the pieces that reading
// chunk by chunk would have delivered, at a fraction of the system calls.
unsigned long tool_process::read_chunks(progress_view* view, unsigned long waiting)
{
    Text block(std::min<unsigned long>(waiting, pipe_buffer_size), '\0');
    DWORD delivered = 0;
    if (!ReadFile(read_end_, block.data(), static_cast<DWORD>(block.size()), &delivered, nullptr))
        return 0;
    for (DWORD start = 0; start < delivered && !view_closed(view); start += chunk_size)
        handle_chunk(block.substr(start, std::min<DWORD>(chunk_size, delivered - start)), view);
    return delivered;
}

void tool_process::handle_chunk(const Text& chunk, progress_view* view)
{
    if (listener_)
        listener_(chunk);
    if (auto display = display_for_chunk(chunk); display && view != nullptr) {
        view->show_progress_position(display->position);
        view->show_progress_caption(display->caption);
    }
}

tool_run run_tool_with_progress(const Text& application_path, const Text& command_line, progress_view& view,
                                const output_listener& listener)
{
    tool_process tool(application_path, command_line, listener);
    view.show_progress_position(0);

    tool_run run;
    run.started = tool.started();
    while (run.started) {
        tool.read_waiting_output(&view);
        if (view.is_closed()) {
            run.cancelled = true;
            break;
        }
        HANDLE process = tool.handle();
        if (MsgWaitForMultipleObjects(1, &process, FALSE, wake_interval_ms, QS_ALLINPUT) == WAIT_OBJECT_0) {
            run.exit_status = tool.finish(&view);
            break;
        }
        process_events();
    }
    return run;
}
