#pragma once
// The file, folder and message-box calls of the conversion, each behind a name
// that says what it does.
#include <cstdint>

#include "common/text.h"

// The folder of the program's executable, without a trailing backslash (C: for
// a program in a drive's root).
Text run_directory();

bool file_exists(const Text& path);
// The size in bytes, or -1 when there is no such file.
std::int64_t file_size(const Text& path);
// Up to count bytes from the start of the file; empty when it cannot be read.
Text read_file_head(const Text& path, int count);
// True when the file holds exactly these bytes.
bool file_holds(const Text& path, const ByteBlock& data);

// Creates or truncates the file and writes all bytes; false when the path is
// empty, the file cannot be opened or a write fails.
bool write_file(const Text& path, const ByteBlock& data);
bool delete_file(const Text& path);
// Moves a file over another one of the same volume in one step.
bool replace_file(const Text& source, const Text& destination);
bool create_directories(const Text& path);

// A new, empty file of a unique name in the given folder (the user's temporary
// folder when none is given); empty when none could be made.
Text new_temporary_file(const Text& directory = Text());

// %LOCALAPPDATA%\Velmora\tools: where the tools go when the program's own folder
// cannot take them. Empty when the system names no such folder.
Text local_tools_directory();

// MessageBoxA with no owner; MB_TASKMODAL is added unless the style is system-modal.
int message_box(const Text& text, int style, const Text& title);
