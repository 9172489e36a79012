#include "common/text.h"

#include <gtest/gtest.h>

#include "gbk.h"

namespace {
TEST(TextLength, CountsBytesUpToTheFirstZero)
{
    EXPECT_EQ(text_length(""), 0);
    EXPECT_EQ(text_length(nullptr), 0);
    EXPECT_EQ(text_length("abc"), 3);
    EXPECT_EQ(text_length(GBK_ZHONG GBK_WEN), 4);
    EXPECT_EQ(text_length(Text("ab\0cd", 5)), 2);
}

TEST(CompareText, OrdersByUnsignedBytes)
{
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"abc", "abc", 0},
        {"abc", "abd", -1},
        {"abd", "abc", 1},
        {"ab", "abc", -1},  // a start of a longer text is below it
        {"abc", "ab", 1},
        {"", "", 0},
        {nullptr, "", 0},  // absent counts as empty
        {nullptr, "a", -1},
        {"a", nullptr, 1},
        {"\x80", "\x7F", 1},  // a signed comparison would put 0x80 below 0x7F
        {GBK_ZHONG, "z", 1},
    };
    for (const Case& c : cases) {
        const int result = compare_text(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign)
            << (c.a ? c.a : "(absent)") << " vs " << (c.b ? c.b : "(absent)");
    }
}

TEST(ConcatText, JoinsInOrderAndSkipsAbsentTexts)
{
    EXPECT_EQ(concat_text("a"), "a");
    EXPECT_EQ(concat_text("a", Text("bc"), nullptr, "", GBK_ZHONG), "abc" GBK_ZHONG);
    EXPECT_EQ(concat_text(nullptr, ""), "");
    const Text input = "kept";
    EXPECT_EQ(concat_text(input, input), "keptkept");
    EXPECT_EQ(input, "kept");
}

TEST(TextLeft, TakesBytesAndClampsTheCount)
{
    struct Case {
        int count;
        const char* expected;
    };
    const Case cases[] = {{0, ""}, {-3, ""}, {1, "a"}, {3, "abc"}, {4, "abc"}, {1000, "abc"}};
    for (const Case& c : cases)
        EXPECT_EQ(text_left("abc", c.count), c.expected) << c.count;
    EXPECT_EQ(text_left(GBK_ZHONG GBK_WEN, 3), GBK_ZHONG "\xCE") << "counts bytes, even inside a character";
    EXPECT_EQ(text_left(nullptr, 2), "");
}

TEST(TextMid, TakesBytesFromAOneBasedPosition)
{
    struct Case {
        int position;
        int count;
        const char* expected;
    };
    const Case cases[] = {
        {1, 2, "ab"},  {2, 2, "bc"}, {4, 1, "d"},  {3, 10, "cd"},  // fewer when the text ends first
        {0, 2, ""},    {-1, 2, ""},  {5, 1, ""},   {2, 0, ""},  {2, -1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text_mid("abcd", c.position, c.count), c.expected) << c.position << "," << c.count;
    EXPECT_EQ(text_mid(GBK_ZHONG GBK_WEN, 2, 2), "\xD0\xCE");
    EXPECT_EQ(text_mid("", 1, 1), "");
}

TEST(BytesToText, EndsAtTheFirstZeroByte)
{
    EXPECT_EQ(bytes_to_text(ByteBlock("ab\0cd", 5)), "ab");
    EXPECT_EQ(bytes_to_text(ByteBlock("abc")), "abc");
    EXPECT_EQ(bytes_to_text(ByteBlock("\0x", 2)), "");
    EXPECT_EQ(bytes_to_text(ByteBlock()), "");
}
}  // namespace
