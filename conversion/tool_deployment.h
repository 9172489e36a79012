#pragma once
// Puts the two carried tools on disk, where they can be run.
#include <optional>

#include "common/text.h"

struct tool_paths {
    Text decoder;
    Text encoder;
};

// Leaves a file at path that holds exactly image. A file that differs (another
// program's, or a partial one from a failed write) is replaced through a
// temporary file and a rename, so a failure never leaves a broken tool behind.
bool deploy_tool(const Text& path, const ByteBlock& image);

// Both tools into the first of the folders that takes them; nothing when none does.
std::optional<tool_paths> deploy_tools_into(const Text& preferred_directory, const Text& fallback_directory);

// The program's own folder first, the user's local application folder second.
std::optional<tool_paths> deploy_tools();
