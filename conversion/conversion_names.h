#pragma once
// The names and command lines one conversion works with. Portable: no system calls.
#include "common/text.h"

inline constexpr char decoder_tool_name[] = "z3oro.exe";
inline constexpr char encoder_tool_name[] = "v3vid.exe";

// The folder part of a path, without the backslash that ends it; the bare drive
// (C:) for a file in a drive's root, and the empty text when there is no backslash.
Text directory_of(const Text& path);

// folder + "\" + name.
Text path_in_directory(const Text& directory, const Text& name);

// The input path with the extension of its file name replaced by ".mp3", or with
// ".mp3" added when the file name has none. Dots in folder names do not count.
Text mp3_path_for(const Text& input_path);

// A path between double quotes, so a blank in it does not split the argument.
Text quoted(const Text& path);

Text decoder_command_line(const Text& decoder_path, const Text& input_path, const Text& pcm_path);

// The decoder writes 16-bit mono samples at 24000 Hz; the encoder is told so.
Text encoder_command_line(const Text& encoder_path, const Text& pcm_path, const Text& mp3_path);

// True when the first bytes of a file are those of a SILK v3 voice file: an
// optional 0x02 byte and then "#!SILK_V3".
bool has_silk_header(const Text& first_bytes);
inline constexpr int silk_header_probe_size = 10;
