#include <gtest/gtest.h>

#include "conversion/conversion_messages.h"
#include "conversion/conversion_names.h"
#include "conversion/progress_display.h"

namespace {
struct mp3_name_case {
    const char* input;
    const char* mp3;
};

class mp3_name : public testing::TestWithParam<mp3_name_case> {};

TEST_P(mp3_name, replaces_only_the_extension_of_the_file_name)
{
    EXPECT_EQ(mp3_path_for(GetParam().input), GetParam().mp3);
}

INSTANTIATE_TEST_SUITE_P(paths, mp3_name,
                         testing::Values(mp3_name_case{R"(E:\voice\msg.silk)", R"(E:\voice\msg.mp3)"},
                                         mp3_name_case{R"(E:\voice\msg)", R"(E:\voice\msg.mp3)"},
                                         mp3_name_case{R"(E:\rel1.0\voice_silk)", R"(E:\rel1.0\voice_silk.mp3)"},
                                         mp3_name_case{R"(E:\voice\a.b.silk)", R"(E:\voice\a.b.mp3)"},
                                         mp3_name_case{R"(E:\voice\.silk)", R"(E:\voice\.silk.mp3)"},
                                         mp3_name_case{"msg.amr", "msg.mp3"}));

TEST(directory_of, cuts_at_the_last_backslash_that_is_a_character_of_its_own)
{
    EXPECT_EQ(directory_of(R"(D:\tools\velmora.exe)"), R"(D:\tools)");
    EXPECT_EQ(directory_of(R"(C:\velmora.exe)"), "C:");
    EXPECT_EQ(directory_of("velmora.exe"), "");
    // 0x5C as the second byte of a two-byte character: not a folder separator.
    EXPECT_EQ(directory_of("D:\\\xD5\x5C\\a.exe"), "D:\\\xD5\x5C");
    EXPECT_EQ(directory_of("D:\\x\\\xD5\x5C.exe"), "D:\\x");
}

TEST(command_lines, quote_every_path_and_give_the_encoder_the_real_format)
{
    EXPECT_EQ(decoder_command_line(R"(C:\Program Files\Velmora\z3oro.exe)", R"(E:\my voice\msg.silk)",
                                   R"(C:\Temp\vel1.tmp)"),
              R"("C:\Program Files\Velmora\z3oro.exe" "E:\my voice\msg.silk" "C:\Temp\vel1.tmp")");
    EXPECT_EQ(encoder_command_line(R"(D:\tools\v3vid.exe)", R"(C:\Temp\vel1.tmp)", R"(E:\my voice\msg.mp3)"),
              R"("D:\tools\v3vid.exe" -r -s 24000 -m m "C:\Temp\vel1.tmp" "E:\my voice\msg.mp3")");
}

TEST(silk_header, is_recognised_by_content_with_or_without_the_leading_byte)
{
    EXPECT_TRUE(has_silk_header("#!SILK_V3"));
    EXPECT_TRUE(has_silk_header(Text("\x02#!SILK_V3\x0c\x00", 12)));
    EXPECT_FALSE(has_silk_header("#!AMR\n"));
    EXPECT_FALSE(has_silk_header("#!SILK_V"));
    EXPECT_FALSE(has_silk_header(Text("\x03#!SILK_V3", 10)));
    EXPECT_FALSE(has_silk_header(""));
}

TEST(messages, end_in_blanks_and_the_contact_note_under_one_title)
{
    EXPECT_EQ(message_title(), Text("系统提示") + "         ");
    const Text note_start = "【";
    for (const auto& [text, body, blanks] :
         {std::tuple{empty_path_message(), Text("请添加silk语音文件"), 5},
          std::tuple{not_silk_message(), Text("请检查是否有微信silk语音文件"), 5},
          std::tuple{completed_message(), Text("转换完成"), 4},
          std::tuple{failed_message("Error: x"), Text("转换失败：Error: x"), 4}}) {
        EXPECT_EQ(text.substr(0, body.size()), body);
        EXPECT_EQ(text.substr(body.size(), blanks + note_start.size()), Text(blanks, ' ') + note_start) << text;
        EXPECT_TRUE(text.ends_with("】")) << text;
    }
}

TEST(error_line_finder, keeps_the_first_error_line_even_when_split_between_reads)
{
    error_line_finder finder;
    finder.add_output("Silk Decoder (Fixed Point)\r\nErr");
    EXPECT_EQ(finder.first_error_line(), "");
    finder.add_output("or: could not open file a.silk\r\nError: second\r\n");
    EXPECT_EQ(finder.first_error_line(), "Error: could not open file a.silk");

    error_line_finder unfinished;
    unfinished.add_output("x\nError: no line end");
    EXPECT_EQ(unfinished.first_error_line(), "Error: no line end");

    error_line_finder mid_line;
    mid_line.add_output("Packets decoded: 3 Error: not at a line start\n");
    EXPECT_EQ(mid_line.first_error_line(), "");
}

TEST(text_between, finds_the_text_strictly_between_the_markers)
{
    EXPECT_EQ(text_between("( 50%)|", "(", "%)", 0, false), " 50");
    EXPECT_EQ(text_between("(50%)", "(", "%)", 0, false), "50");
    EXPECT_EQ(text_between("no marker", "(", "%)", 0, false), "");
    EXPECT_EQ(text_between("(50 and no end", "(", "%)", 0, false), "");
    EXPECT_EQ(text_between("%) before (", "(", "%)", 0, false), "");
    EXPECT_EQ(text_between("(%)", "(", "%)", 0, false), "");
    EXPECT_EQ(text_between("a(1%) b(2%)", "(", "%)", 4, false), "2");
    EXPECT_EQ(text_between(R"(say "hi" now)", "#引号", "#引号", 0, false), "hi");
    EXPECT_EQ(text_between("xSTARTyENDz", "start", "end", 1, true), "y");
    EXPECT_EQ(text_between("xSTARTyENDz", "start", "end", 1, false), "");
}

struct chunk_case {
    const char* name;
    Text chunk;
    bool changes;
    std::int32_t position;
    Text caption;
};

class chunk_display : public testing::TestWithParam<chunk_case> {};

TEST_P(chunk_display, shows_the_first_figure_of_the_chunk)
{
    const auto& c = GetParam();
    const auto display = display_for_chunk(c.chunk);
    ASSERT_EQ(display.has_value(), c.changes);
    if (display) {
        EXPECT_EQ(display->position, c.position);
        EXPECT_EQ(display->caption, c.caption);
    }
}

INSTANTIATE_TEST_SUITE_P(
    lame_and_edge_output, chunk_display,
    testing::Values(
        chunk_case{"two_digits", "  1234/5678  (42%)|  0:01/  0:02|", true, 42, "42 %"},
        chunk_case{"one_digit_padded", "   100/5678   ( 7%)|  0:00/  0:02|", true, 7, " 7 %"},
        chunk_case{"three_digits", "  5678/5678   (100%)|  0:02/  0:02|", true, 100, "100 %"},
        chunk_case{"table_header", "    Frame          |  CPU time/estim | REAL time/estim | play/CPU |    ETA \n"
                                   "     0/5678   ( 0%)|", true, 0, " 0 %"},
        chunk_case{"version_line", "LAME 3.100 64bits (http://lame.sf.net)\n", true, 0, " %"},
        chunk_case{"version_then_figure", "LAME 3.100 (x)\n( 3%)|", true, 0, "x)\r\n( 3 %"},
        chunk_case{"decoder_timing", "Decoding Finished \n\nTime for decoding: 0.1 (2.1% of realtime)\n", true, 0,
                   " %"},
        chunk_case{"decimal_figure", "(12.7%)", true, 12, "12.7 %"},
        chunk_case{"letter_figure", "(abc%)", true, 0, "abc %"},
        chunk_case{"negative_figure", "(-5%)", true, -5, "-5 %"},
        chunk_case{"empty_figure", "(%)", true, 0, " %"},
        chunk_case{"line_feed_inside", "(4\n2%)", true, 4, "4\r\n2 %"},
        chunk_case{"zero_byte_ends_text", Text("(9%) ", 5) + Text(1, '\0') + "(5%)", true, 9, "9 %"},
        chunk_case{"zero_byte_before_close", Text("(9", 2) + Text(1, '\0') + "%)", false, 0, ""},
        chunk_case{"two_figures", "(11%)|(12%)|", true, 11, "11 %"},
        chunk_case{"open_only", "  1234/5678  (4", false, 0, ""},
        chunk_case{"close_only", "2%)|  0:01/  0:02|", false, 0, ""},
        chunk_case{"decoder_counter", "\rPackets decoded:              150", false, 0, ""},
        chunk_case{"empty", "", false, 0, ""}),
    [](const testing::TestParamInfo<chunk_case>& info) { return info.param.name; });
}  // namespace
