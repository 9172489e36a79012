#pragma once
// Runs one console tool hidden and turns what it prints into progress on the window.
#include <functional>

#include "common/text.h"
#include "conversion/conversion_view.h"

struct tool_run {
    bool started = false;
    // The window was closed while the tool ran, and the tool was ended.
    bool cancelled = false;
    unsigned long exit_status = 0;
};

// Called with every chunk read from the tool, as it was read.
using output_listener = std::function<void(const Text& chunk)>;

// One tool started hidden in the folder that holds it, with exactly this path and
// command line and its standard output and error on one pipe. Several can run
// side by side: their owner waits on the handles and reads each in turn.
class tool_process {
public:
    tool_process(const Text& application_path, const Text& command_line, output_listener listener = {});
    // A tool still running is ended: only ever our own child, by its handle.
    ~tool_process();
    tool_process(const tool_process&) = delete;
    tool_process& operator=(const tool_process&) = delete;

    bool started() const { return process_ != nullptr; }
    // Signalled once the tool has ended.
    void* handle() const { return process_; }
    // Handles what has arrived so far, chunk by chunk, without waiting for more;
    // the chunks are shown on the view when one is given.
    void read_waiting_output(progress_view* view);
    // Once the tool has ended: reads everything it printed and gives its exit status.
    unsigned long finish(progress_view* view);

private:
    unsigned long read_chunks(progress_view* view, unsigned long waiting);
    void handle_chunk(const Text& chunk, progress_view* view);

    void* process_ = nullptr;
    void* thread_ = nullptr;
    void* read_end_ = nullptr;
    output_listener listener_;
};

// Starts the tool with exactly this path and command line in the folder that
// holds it, its standard output and error on one pipe, and returns once it has
// ended. While it runs the window's messages are served; when the window is
// closed meanwhile, the tool is ended.
tool_run run_tool_with_progress(const Text& application_path, const Text& command_line, progress_view& view,
                                const output_listener& listener = {});
