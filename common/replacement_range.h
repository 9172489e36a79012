#pragma once
// The optional start position and count shared by replace_text and replace_bytes.
#include <climits>
#include <cstddef>
#include <optional>

struct ReplacementRange {
    std::size_t first_byte;  // 0-based; matches begin here or later
    int budget;              // replacements still allowed
};

inline ReplacementRange replacement_range(std::optional<int> start_position, std::optional<int> count)
{
    const int position = start_position.value_or(1);
    return {position <= 1 ? 0 : static_cast<std::size_t>(position) - 1, count.value_or(INT_MAX)};
}
