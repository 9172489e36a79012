#pragma once
// The "转换" command: one voice file to an MP3 beside it.
#include "common/text.h"
#include "conversion/conversion_view.h"
#include "conversion/tool_runner.h"

enum class input_check { usable, empty_path, not_silk };

// Empty, or not a file that begins as a SILK v3 voice file does (its name and
// extension do not matter).
input_check check_input(const Text& input_path);

enum class conversion_status { completed, failed, cancelled };

struct conversion_result {
    conversion_status status;
    Text mp3_path;
    Text failure_reason;  // for a failed conversion
};

// Why a tool run did not succeed (the tool's own "Error:" line when it printed
// one), or the empty text when it did.
Text tool_failure_reason(const tool_run& run, const Text& tool_name, const Text& error_line = Text());

// Converts a checked input file. Leaves no intermediate file behind, and on
// failure or cancellation no partial MP3; an earlier MP3 of that name is only
// replaced by a complete one.
conversion_result convert_one_file(const Text& input_path, progress_view& view);

// The click handler of "转换": checks the path in the window, converts it with
// the window's input switched off, and tells the outcome in a message box.
void convert_button_clicked(conversion_view& view);
