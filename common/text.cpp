#include "common/text.h"

#include "common/replacement_range.h"

namespace {
bool is_lead_byte(char byte)
{
    return static_cast<unsigned char>(byte) >= 0x80;
}

// A lead byte and the byte after it form one character; a lead byte at the very
// end stands alone.
std::size_t character_width(std::string_view text, std::size_t at)
{
    return is_lead_byte(text[at]) && at + 1 < text.size() ? 2 : 1;
}

char fold_ascii(char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

enum class Match { none, whole_characters, cuts_character };

// Compares needle with the text from the character that begins at `at`. Case is
// folded only for single-byte characters: the second byte of a Chinese character
// may look like an ASCII letter, and folding it would match another character.
Match match_at(std::string_view text, std::size_t at, std::string_view needle, bool ignore_case)
{
    if (needle.size() > text.size() - at)
        return Match::none;
    std::size_t offset = 0;
    while (offset < needle.size()) {
        const std::size_t width = character_width(text, at + offset);
        for (std::size_t byte = 0; byte < width && offset + byte < needle.size(); ++byte) {
            const char in_text = text[at + offset + byte];
            const char wanted = needle[offset + byte];
            const bool same = width == 1 && ignore_case ? fold_ascii(in_text) == fold_ascii(wanted)
                                                        : in_text == wanted;
            if (!same)
                return Match::none;
        }
        offset += width;
    }
    return offset == needle.size() ? Match::whole_characters : Match::cuts_character;
}

std::size_t first_byte_searched(int start_position)
{
    return start_position <= 1 ? 0 : static_cast<std::size_t>(start_position) - 1;
}
}  // namespace

int text_length(TextArg text)
{
    return static_cast<int>(text.bytes().size());
}

int compare_text(TextArg a, TextArg b)
{
    const std::string_view left = a.bytes();
    const std::string_view right = b.bytes();
    for (std::size_t i = 0; i < left.size() && i < right.size(); ++i) {
        const auto l = static_cast<unsigned char>(left[i]);
        const auto r = static_cast<unsigned char>(right[i]);
        if (l != r)
            return l < r ? -1 : 1;
    }
    if (left.size() == right.size())
        return 0;
    return left.size() < right.size() ? -1 : 1;
}

Text concat_text(std::initializer_list<TextArg> parts)
{
    Text joined;
    for (const TextArg& part : parts)
        joined.append(part.bytes());
    return joined;
}

Text text_left(TextArg text, int count)
{
    if (count <= 0)
        return Text();
    return Text(text.bytes().substr(0, static_cast<std::size_t>(count)));
}

Text text_mid(TextArg text, int position, int count)
{
    const std::string_view bytes = text.bytes();
    if (position < 1 || static_cast<std::size_t>(position) > bytes.size() || count <= 0)
        return Text();
    return Text(bytes.substr(static_cast<std::size_t>(position) - 1, static_cast<std::size_t>(count)));
}

int find_text(TextArg text, TextArg needle, int start_position, bool ignore_case)
{
    const std::string_view haystack = text.bytes();
    const std::size_t first = first_byte_searched(start_position);
    if (first >= haystack.size())
        return -1;
    if (needle.bytes().empty())
        return 1;
    for (std::size_t at = 0; at < haystack.size(); at += character_width(haystack, at)) {
        if (at >= first && match_at(haystack, at, needle.bytes(), ignore_case) != Match::none)
            return static_cast<int>(at) + 1;
    }
    return -1;
}

int find_text_last(TextArg text, TextArg needle, bool ignore_case)
{
    const std::string_view haystack = text.bytes();
    if (haystack.empty())
        return -1;
    if (needle.bytes().empty())
        return 1;
    int last = -1;
    for (std::size_t at = 0; at < haystack.size(); at += character_width(haystack, at)) {
        if (match_at(haystack, at, needle.bytes(), ignore_case) != Match::none)
            last = static_cast<int>(at) + 1;
    }
    return last;
}

// Only matches made of whole characters are replaced, so that no character of
// the text is ever cut in half.
Text replace_text(TextArg text, TextArg find, TextArg replacement, bool case_sensitive,
                  std::optional<int> start_position, std::optional<int> count)
{
    const std::string_view source = text.bytes();
    const std::string_view needle = find.bytes();
    if (source.empty() || needle.empty())
        return Text(source);
    ReplacementRange range = replacement_range(start_position, count);
    Text result;
    std::size_t at = 0;
    while (at < source.size()) {
        if (range.budget > 0 && at >= range.first_byte &&
            match_at(source, at, needle, !case_sensitive) == Match::whole_characters) {
            result.append(replacement.bytes());
            at += needle.size();
            --range.budget;
            continue;
        }
        const std::size_t width = character_width(source, at);
        result.append(source.substr(at, width));
        at += width;
    }
    return result;
}

Text bytes_to_text(const ByteBlock& block)
{
    return Text(TextArg(std::string_view(block)).bytes());
}
