#include "common/text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
TEST(TextToNumber, ReadsTheLeadingNumber)
{
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"42", 42},
        {"12.5", 12.5},
        {"  \t 7", 7},
        {"+3", 3},
        {"-3.25", -3.25},
        {"15%)|", 15},
        {" 99x", 99},
        {".5", 0.5},
        {"5.", 5},
        {"1e3", 1000},
        {"2.5E-1", 0.25},
        {"1e+2", 100},
        {"3e", 3},       // an exponent without digits is not read
        {"3e+", 3},
        {"1.2.3", 1.2},
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {".", 0},
        {"- 5", 0},
        {"0x10", 0},     // no hexadecimal
        {"inf", 0},      // no words
        {"nan", 0},
        {"007", 7},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(text_to_number(c.text), c.expected) << "\"" << c.text << "\"";
    EXPECT_EQ(text_to_number(nullptr), 0);
}

TEST(TextToNumber, ReadsFullWidthForms)
{
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"\xA3\xB1\xA3\xB2\xA3\xAE\xA3\xB5", 12.5},                 // １２．５
        {"\xA3\xAD\xA3\xB3", -3},                                   // －３
        {"\xA3\xAB\xA3\xB9", 9},                                    // ＋９
        {"\xA1\xA1\xA1\xA1" "8", 8},                                // ideographic spaces
        {"1\xA3\xB0" "0", 100},                                     // mixed widths
        {"\xA3\xB7\xD6\xD0", 7},                                    // ７ then 中 stops it
        {"\xD6\xD0" "5", 0},                                        // 中 before the number
        {"\xA3\xC5" "5", 0},                                        // Ｅ is not one of the forms
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(text_to_number(c.text), c.expected) << c.text;
}

TEST(TextToNumber, OutOfRangeValuesSaturate)
{
    EXPECT_EQ(text_to_number("1e999"), HUGE_VAL);
    EXPECT_EQ(text_to_number("-1e999"), -HUGE_VAL);
    EXPECT_EQ(text_to_number("1e-999"), 0);
    EXPECT_EQ(text_to_number("0.0001e-99999999999999999999"), 0);
    EXPECT_EQ(text_to_number("123e99999999999999999999"), HUGE_VAL);
}
}  // namespace
