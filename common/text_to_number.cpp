#include "common/text.h"

#include <charconv>
#include <cmath>

namespace {
// GBK's full-width forms that people type in numbers, read as their ASCII
// counterparts: digits A3B0..A3B9, "＋" A3AB, "－" A3AD, "．" A3AE, and the
// ideographic space A1A1.
char ascii_counterpart(unsigned char lead, unsigned char trail)
{
    if (lead == 0xA3 && trail >= 0xB0 && trail <= 0xB9)
        return static_cast<char>('0' + (trail - 0xB0));
    if (lead == 0xA3 && trail == 0xAB)
        return '+';
    if (lead == 0xA3 && trail == 0xAD)
        return '-';
    if (lead == 0xA3 && trail == 0xAE)
        return '.';
    if (lead == 0xA1 && trail == 0xA1)
        return ' ';
    return '\0';
}

std::string with_ascii_forms(std::string_view text)
{
    std::string ascii;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        if (lead >= 0x80 && at + 1 < text.size()) {
            const char counterpart = ascii_counterpart(lead, static_cast<unsigned char>(text[at + 1]));
            if (counterpart != '\0')
                ascii.push_back(counterpart);
            else
                ascii.append(text.substr(at, 2));
            at += 2;
        } else {
            ascii.push_back(text[at]);
            ++at;
        }
    }
    return ascii;
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

bool is_space(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::size_t digits_from(std::string_view text, std::size_t at)
{
    std::size_t end = at;
    while (end < text.size() && is_digit(text[end]))
        ++end;
    return end - at;
}

// A long run of exponent digits saturates instead of wrapping round.
long saturated_exponent(std::string_view exponent)
{
    const bool negative = exponent.front() == '-';
    long value = 0;
    for (const char digit : exponent.substr(exponent.front() == '+' || negative ? 1 : 0))
        value = std::min(value * 10 + (digit - '0'), 1L << 30);
    return negative ? -value : value;
}

// The decimal magnitude of an unsigned number that std::from_chars found out of
// range: above zero it overflowed, otherwise it underflowed.
long magnitude_of(std::string_view number)
{
    const std::size_t point = std::min(number.find('.'), number.find_first_of("eE"));
    const std::string_view whole = number.substr(0, point);
    const std::size_t first_significant = whole.find_first_not_of('0');
    long magnitude = 0;
    if (first_significant != std::string_view::npos) {
        magnitude = static_cast<long>(whole.size() - first_significant);
    } else if (point < number.size() && number[point] == '.') {
        const std::string_view fraction = number.substr(point + 1);
        magnitude = -static_cast<long>(std::min(fraction.find_first_not_of('0'), fraction.size()));
    }
    const std::size_t exponent = number.find_first_of("eE");
    if (exponent != std::string_view::npos)
        magnitude += saturated_exponent(number.substr(exponent + 1));
    return magnitude;
}

double unsigned_value(std::string_view number)
{
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range)
        return magnitude_of(number) > 0 ? HUGE_VAL : 0.0;
    return value;
}
}  // namespace

double text_to_number(TextArg text)
{
    const std::string ascii = with_ascii_forms(text.bytes());
    const std::string_view s = ascii;
    std::size_t at = 0;
    while (at < s.size() && is_space(s[at]))
        ++at;
    const bool negative = at < s.size() && s[at] == '-';
    if (at < s.size() && (s[at] == '+' || s[at] == '-'))
        ++at;
    const std::size_t start = at;
    const std::size_t whole_digits = digits_from(s, at);
    at += whole_digits;
    std::size_t fraction_digits = 0;
    if (at < s.size() && s[at] == '.') {
        fraction_digits = digits_from(s, at + 1);
        if (whole_digits > 0 || fraction_digits > 0)
            at += 1 + fraction_digits;
    }
    if (whole_digits == 0 && fraction_digits == 0)
        return 0;
    if (at < s.size() && (s[at] == 'e' || s[at] == 'E')) {
        const std::size_t sign = at + 1 < s.size() && (s[at + 1] == '+' || s[at + 1] == '-') ? 1 : 0;
        const std::size_t exponent_digits = digits_from(s, at + 1 + sign);
        if (exponent_digits > 0)
            at += 1 + sign + exponent_digits;
    }
    const double value = unsigned_value(s.substr(start, at - start));
    return negative ? -value : value;
}
