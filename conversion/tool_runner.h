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

// Starts the tool with exactly this path and command line in the folder that
// holds it, its standard output and error on one pipe, and returns once it has
// ended. While it runs the window's messages are served; when the window is
// closed meanwhile, the tool is ended.
tool_run run_tool_with_progress(const Text& application_path, const Text& command_line, progress_view& view,
                                const output_listener& listener = {});
