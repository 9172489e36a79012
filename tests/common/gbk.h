#pragma once
// GBK bytes of the characters the tests use, spelled out so that the tests do
// not depend on the compiler's execution character set.
#define GBK_ZHONG "\xD6\xD0"     // 中
#define GBK_WEN "\xCE\xC4"       // 文
#define GBK_A_TRAIL "\x81\x41"   // 丄: its second byte is the ASCII "A"
#define GBK_A_TRAIL_LOWER "\x81\x61"  // 乤: its second byte is the ASCII "a"
