#pragma once
// How a tool's console output becomes the progress bar's position and the
// percentage label. Portable: the tool runner feeds it what it read.
#include <cstdint>
#include <optional>

#include "common/text.h"

inline constexpr int chunk_size = 260;  // the bytes asked for by every read

// The text strictly between the first start marker at or after start_position
// (1-based; 1 or less: from the start) and the first end marker after it; empty
// when either is missing. "#引号" in a marker stands for a double quote.
Text text_between(const Text& text, const Text& start_marker, const Text& end_marker, int start_position,
                  bool ignore_case);

struct progress_display {
    std::int32_t position;
    Text caption;
};

// What one chunk of output shows, or nothing when the display stays as it was.
// Each chunk stands alone: a figure split between two reads is not shown.
std::optional<progress_display> display_for_chunk(const Text& chunk);
