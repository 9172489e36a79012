#include "conversion/progress_display.h"

#include <cmath>
#include <limits>

namespace {
constexpr char label_suffix[] = " %";

Text with_quotes_resolved(const Text& marker)
{
    return replace_text(marker, "#引号", "\"", true);
}

// The figure becomes the bar's position truncated toward zero; a value beyond
// the 32-bit range lands at its nearer end rather than being undefined.
std::int32_t position_from_figure(const Text& figure)
{
    const double value = std::trunc(text_to_number(figure));
    if (std::isnan(value))
        return 0;
    if (value >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}
}  // namespace

Text text_between(const Text& text, const Text& start_marker, const Text& end_marker, int start_position,
                  bool ignore_case)
{
    const Text start = with_quotes_resolved(start_marker);
    const Text end = with_quotes_resolved(end_marker);
    int p = find_text(text, start, start_position, ignore_case);
    if (p != -1)
        p += text_length(start);
    const int q = find_text(text, end, p, ignore_case);
    if (p == -1 || q == -1)
        return Text();
    return text_mid(text, p, q - p);
}

std::optional<progress_display> display_for_chunk(const Text& chunk)
{
    const Text chunk_text = bytes_to_text(replace_bytes(chunk, "\n", "\r\n"));
    if (find_text(chunk_text, "(", 1, false) == -1 || find_text(chunk_text, ")", 1, false) == -1)
        return std::nullopt;
    const Text figure = text_between(chunk_text, "(", "%)", 0, false);
    return progress_display{position_from_figure(figure), concat_text(figure, label_suffix)};
}
