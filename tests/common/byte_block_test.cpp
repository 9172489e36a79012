#include "common/text.h"

#include <gtest/gtest.h>

namespace {
ByteBlock bytes(const char (&literal)[6])
{
    return ByteBlock(literal, 5);
}

TEST(BlankBytes, MakesZeroBytes)
{
    EXPECT_EQ(blank_bytes(3), ByteBlock("\0\0\0", 3));
    EXPECT_EQ(blank_bytes(0), ByteBlock());
    EXPECT_EQ(blank_bytes(-1), ByteBlock());
}

TEST(BytesLeft, KeepsZeroBytesAndClampsTheCount)
{
    const ByteBlock block = bytes("a\0b\0c");
    EXPECT_EQ(bytes_left(block, 3), ByteBlock("a\0b", 3));
    EXPECT_EQ(bytes_left(block, 5), block);
    EXPECT_EQ(bytes_left(block, 99), block);
    EXPECT_EQ(bytes_left(block, 0), ByteBlock());
    EXPECT_EQ(bytes_left(block, -2), ByteBlock());
    EXPECT_EQ(bytes_left(ByteBlock(), 2), ByteBlock());
}

TEST(ReplaceBytes, ReplacesExactSequencesLeftToRight)
{
    struct Case {
        ByteBlock block;
        ByteBlock find;
        ByteBlock replacement;
        ByteBlock expected;
    };
    const Case cases[] = {
        {ByteBlock("a\nb\n"), ByteBlock("\n"), ByteBlock("\r\n"), ByteBlock("a\r\nb\r\n")},
        {bytes("\0a\0b\0"), ByteBlock("\0", 1), ByteBlock("-"), ByteBlock("-a-b-")},
        {ByteBlock("aaa"), ByteBlock("aa"), ByteBlock("b"), ByteBlock("ba")},
        {ByteBlock("abc"), ByteBlock("b"), ByteBlock(), ByteBlock("ac")},
        {ByteBlock("aBc"), ByteBlock("b"), ByteBlock("x"), ByteBlock("aBc")},  // exact bytes only
        // No character stepping: D0 CE is found across the two characters of 中文.
        {ByteBlock("\xD6\xD0\xCE\xC4"), ByteBlock("\xD0\xCE"), ByteBlock("x"), ByteBlock("\xD6x\xC4")},
        {ByteBlock(), ByteBlock("a"), ByteBlock("b"), ByteBlock()},
        {ByteBlock("abc"), ByteBlock(), ByteBlock("x"), ByteBlock("abc")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(replace_bytes(c.block, c.find, c.replacement), c.expected);
    EXPECT_EQ(replace_bytes(ByteBlock("a-b"), ByteBlock("-")), ByteBlock("ab")) << "no replacement removes";
}

TEST(ReplaceBytes, HonoursStartPositionAndCount)
{
    struct Case {
        std::optional<int> start;
        std::optional<int> count;
        const char* expected;
    };
    const Case cases[] = {
        {3, std::nullopt, "aaxx"}, {-4, std::nullopt, "xxxx"}, {9, std::nullopt, "aaaa"},
        {std::nullopt, 3, "xxxa"}, {std::nullopt, 0, "aaaa"},  {2, 2, "axxa"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(replace_bytes(ByteBlock("aaaa"), ByteBlock("a"), ByteBlock("x"), c.start, c.count), c.expected)
            << c.start.value_or(-99) << "," << c.count.value_or(-99);
}
}  // namespace
