#pragma once
// The texts of the conversion's message boxes. Each ends in blanks and the
// contact note; all share one title and the stop icon.
#include "common/text.h"

inline constexpr int message_box_style = 16;  // MB_ICONHAND, one OK button

Text message_title();
// A message of our own: the blanks and the contact note after its body.
Text with_contact_note(const Text& body, int blank_count);
Text empty_path_message();
Text not_silk_message();
Text completed_message();
Text failed_message(const Text& reason);

// Why a conversion failed, shown after "转换失败".
Text tool_not_started_reason(const Text& tool_name);
Text tool_exit_status_reason(const Text& tool_name, unsigned long exit_status);
Text no_audio_reason();
Text no_mp3_reason();
Text tools_not_written_reason();
Text no_temporary_file_reason();

// Collects a tool's output across chunks and keeps its first line that begins
// with "Error:" (without the line end), which then names the failure.
class error_line_finder {
public:
    void add_output(const Text& output);
    // The line is complete once its line end arrived or the output has ended.
    Text first_error_line() const;

private:
    Text pending_line_;
    Text error_line_;
    bool found_ = false;
};
