#include "common/text.h"

#include <gtest/gtest.h>

#include "gbk.h"

namespace {
struct FindCase {
    const char* text;
    const char* needle;
    int start;
    bool ignore_case;
    int expected;
};

TEST(FindText, FindsTheFirstOccurrenceFromTheStart)
{
    const FindCase cases[] = {
        {"abcabc", "bc", 1, false, 2},
        {"abcabc", "bc", 2, false, 2},
        {"abcabc", "bc", 3, false, 5},
        {"abcabc", "bc", 0, false, 2},   // 1 or less: from the first byte
        {"abcabc", "bc", -7, false, 2},
        {"abcabc", "bc", 6, false, -1},
        {"abcabc", "c", 6, false, 6},    // the last byte can still start a match
        {"abcabc", "a", 7, false, -1},   // beyond the length
        {"abcabc", "xyz", 1, false, -1},
        {"abc", "abcd", 1, false, -1},   // needle longer than the text
        {"ABC", "bc", 1, false, -1},
        {"ABC", "bc", 1, true, 2},
        {"abc", "", 1, false, 1},        // empty needle, something to search
        {"abc", "", 3, false, 1},
        {"abc", "", 4, false, -1},
        {"", "", 1, false, -1},
        {"", "a", 1, false, -1},
        {nullptr, "a", 1, false, -1},
        {"a.b", ".", 1, false, 2},
    };
    for (const FindCase& c : cases)
        EXPECT_EQ(find_text(c.text, c.needle, c.start, c.ignore_case), c.expected)
            << "\"" << (c.text ? c.text : "(absent)") << "\" / \"" << c.needle << "\" from " << c.start
            << (c.ignore_case ? " ignoring case" : "");
}

TEST(FindText, NeverMatchesOnTheSecondByteOfACharacter)
{
    // "中文" is D6 D0 CE C4: the bytes D0 CE appear at byte 2 but span two characters.
    EXPECT_EQ(find_text(GBK_ZHONG GBK_WEN, "\xD0\xCE"), -1);
    EXPECT_EQ(find_text(GBK_ZHONG GBK_WEN, GBK_WEN), 3);
    // 丄 ends in the byte of "A": "A" is only found as a character of its own.
    EXPECT_EQ(find_text(GBK_A_TRAIL "xA", "A"), 4);
    EXPECT_EQ(find_text(GBK_A_TRAIL "xA", "A", 2), 4);
    EXPECT_EQ(find_text(GBK_A_TRAIL, "A"), -1);
    // A lead byte at the very end is a character of its own.
    EXPECT_EQ(find_text("ab\xD6", "\xD6"), 3);
}

TEST(FindText, FoldsCaseOnlyForAsciiLetters)
{
    // Ignoring case must not turn 丄 (81 41) into 乤 (81 61).
    EXPECT_EQ(find_text(GBK_A_TRAIL_LOWER, GBK_A_TRAIL, 1, true), -1);
    EXPECT_EQ(find_text("x" GBK_A_TRAIL "Silk", GBK_A_TRAIL "SILK", 1, true), 2);
    // Only A-Z and a-z fold; "@" (40) and "`" (60) stay apart.
    EXPECT_EQ(find_text("@", "`", 1, true), -1);
    EXPECT_EQ(find_text("[", "{", 1, true), -1);
}

TEST(FindTextLast, FindsTheLastOccurrence)
{
    const FindCase cases[] = {
        {"abcabc", "bc", 1, false, 5},
        {"abcabc", "a", 1, false, 4},
        {"abcABC", "abc", 1, true, 4},
        {"abcABC", "abc", 1, false, 1},
        {"aaa", "aa", 1, false, 2},
        {"abc", "x", 1, false, -1},
        {"abc", "", 1, false, 1},
        {"", "", 1, false, -1},
        {nullptr, "a", 1, false, -1},
        {"D:\\tools\\velmora.exe", "\\", 1, false, 9},
    };
    for (const FindCase& c : cases)
        EXPECT_EQ(find_text_last(c.text, c.needle, c.ignore_case), c.expected)
            << "\"" << (c.text ? c.text : "(absent)") << "\" / \"" << c.needle << "\"";
    EXPECT_EQ(find_text_last(GBK_ZHONG GBK_WEN GBK_ZHONG, "\xD0\xCE"), -1);
    // "\" is 5C, which is also the second byte of many characters, such as 吣 (DF 5C).
    EXPECT_EQ(find_text_last("a\\\xDF\x5C", "\\"), 2);
}

TEST(ReplaceText, ReplacesOccurrencesLeftToRightWithoutOverlap)
{
    struct Case {
        const char* text;
        const char* find;
        const char* replacement;
        bool case_sensitive;
        const char* expected;
    };
    const Case cases[] = {
        {"a-b-c", "-", "+", true, "a+b+c"},
        {"aaaa", "aa", "b", true, "bb"},
        {"aaa", "aa", "b", true, "ba"},
        {"abc", "b", "", true, "ac"},
        {"abc", "b", nullptr, true, "ac"},
        {"abc", "x", "y", true, "abc"},
        {"aBc", "b", "X", true, "aBc"},
        {"aBc", "b", "X", false, "aXc"},
        {"ab", "ab", "abab", true, "abab"},  // the replacement is not searched again
        {"", "a", "b", true, ""},
        {nullptr, "a", "b", true, ""},
        {"abc", "", "x", true, "abc"},
        {"#引号", "#引号", "\"", true, "\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(replace_text(c.text, c.find, c.replacement, c.case_sensitive), c.expected)
            << "\"" << (c.text ? c.text : "(absent)") << "\" / \"" << c.find << "\"";
}

TEST(ReplaceText, NeverSplitsACharacter)
{
    // D0 CE sits across the two characters of "中文".
    EXPECT_EQ(replace_text(GBK_ZHONG GBK_WEN, "\xD0\xCE", "x"), GBK_ZHONG GBK_WEN);
    EXPECT_EQ(replace_text(GBK_ZHONG GBK_WEN, GBK_WEN, "x"), GBK_ZHONG "x");
    // A needle ending in a lead byte would take half of the next character.
    EXPECT_EQ(replace_text("a" GBK_ZHONG, "a\xD6", "x"), "a" GBK_ZHONG);
    EXPECT_EQ(replace_text(GBK_A_TRAIL "A", "A", "b"), GBK_A_TRAIL "b");
    EXPECT_EQ(replace_text(GBK_A_TRAIL_LOWER, GBK_A_TRAIL, "b", false), GBK_A_TRAIL_LOWER);
}

TEST(ReplaceText, HonoursStartPositionAndCount)
{
    struct Case {
        std::optional<int> start;
        std::optional<int> count;
        const char* expected;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, "xxxx"},
        {3, std::nullopt, "aaxx"},
        {2, std::nullopt, "axxx"},
        {0, std::nullopt, "xxxx"},
        {5, std::nullopt, "aaaa"},
        {std::nullopt, 2, "xxaa"},
        {std::nullopt, 0, "aaaa"},  // 0 replaces nothing
        {std::nullopt, -1, "aaaa"},
        {2, 1, "axaa"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(replace_text("aaaa", "a", "x", true, c.start, c.count), c.expected)
            << c.start.value_or(-99) << "," << c.count.value_or(-99);
    // A start inside a character still only matches where characters begin.
    EXPECT_EQ(replace_text(GBK_A_TRAIL "A", "A", "b", true, 2), GBK_A_TRAIL "b");
}

TEST(TextOperations, LeaveTheirInputsUnchanged)
{
    const Text text = "abcabc";
    const Text find = "b";
    EXPECT_EQ(replace_text(text, find, "x"), "axcaxc");
    EXPECT_EQ(text_mid(text, 2, 3), "bca");
    EXPECT_EQ(text, "abcabc");
    EXPECT_EQ(find, "b");
}
}  // namespace
