#pragma once
// Text and ByteBlock, the values the application's procedures take and return.
//
// Text: bytes in the system's ANSI code page (GBK, where a Chinese character is
// a lead byte of 0x80 or above and one more byte), ended by a zero byte. Every
// text operation reads its inputs only up to their first zero byte. Lengths and
// positions count bytes, positions are 1-based, -1 means "not found". An absent
// text (a null pointer) and the empty text are the same value.
//
// ByteBlock: counted bytes that may hold zeros anywhere.
//
// No operation fails: out-of-range positions and counts give empty results, and
// every result is a new value owned by the caller.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

using Text = std::string;
using ByteBlock = std::string;

// A text argument: a Text, a literal or an absent text, seen up to its first zero byte.
class TextArg {
public:
    TextArg(const Text& text) : bytes_(until_zero(text)) {}
    TextArg(const char* text) : bytes_(text ? std::string_view(text) : std::string_view()) {}
    TextArg(std::string_view text) : bytes_(until_zero(text)) {}
    std::string_view bytes() const { return bytes_; }

private:
    static std::string_view until_zero(std::string_view text) { return text.substr(0, text.find('\0')); }
    std::string_view bytes_;
};

int text_length(TextArg text);
int compare_text(TextArg a, TextArg b);
Text concat_text(std::initializer_list<TextArg> parts);
template <typename... More>
Text concat_text(TextArg first, More&&... more)
{
    return concat_text({first, TextArg(more)...});
}
Text text_left(TextArg text, int count);
Text text_mid(TextArg text, int position, int count);
int find_text(TextArg text, TextArg needle, int start_position = 1, bool ignore_case = false);
int find_text_last(TextArg text, TextArg needle, bool ignore_case = false);
Text replace_text(TextArg text, TextArg find, TextArg replacement, bool case_sensitive = true,
                  std::optional<int> start_position = std::nullopt, std::optional<int> count = std::nullopt);
double text_to_number(TextArg text);

ByteBlock blank_bytes(int count);
ByteBlock bytes_left(const ByteBlock& block, int count);
ByteBlock replace_bytes(const ByteBlock& block, const ByteBlock& find, const ByteBlock& replacement = ByteBlock(),
                        std::optional<int> start_position = std::nullopt,
                        std::optional<int> count = std::nullopt);
Text bytes_to_text(const ByteBlock& block);
