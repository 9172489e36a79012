// The tool runner against a scripted console program, with the display read back
// from the real window's controls.
#include <windows.h>

#include <gtest/gtest.h>


#include "app/main_window.h"
#include "conversion/conversion_names.h"
#include "conversion/file_operations.h"
#include "conversion/tool_runner.h"

namespace {
Text scripted_tool()
{
    return path_in_directory(run_directory(), "scripted_tool.exe");
}

Text command_line_for(std::initializer_list<Text> steps)
{
    Text line = quoted(scripted_tool());
    for (const Text& step : steps)
        line.append(" ").append(quoted(step));
    return line;
}

void drop_quit_request()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

class tool_runner : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window.create(GetModuleHandleA(nullptr))); }
    void TearDown() override
    {
        if (!window.is_closed())
            DestroyWindow(window.handle());
        drop_quit_request();
    }

    tool_run run(std::initializer_list<Text> steps, const output_listener& listener = {})
    {
        return run_tool_with_progress(scripted_tool(), command_line_for(steps), window, listener);
    }

    main_window window;
};

TEST_F(tool_runner, shows_each_figure_as_it_arrives_and_keeps_the_last_one)
{
    window.show_progress_position(77);
    const tool_run result = run({"out:LAME 3.100 (x)\\n", "sleep:50", "out:   100/5678   ( 7%)|", "sleep:50",
                                 "out:  1234/5678  (42%)|", "sleep:50", "out:Packets decoded: 9\\n"});
    EXPECT_TRUE(result.started);
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(result.exit_status, 0u);
    EXPECT_EQ(window.progress_position(), 42);
    EXPECT_EQ(window.progress_caption(), "42 %");
}

TEST_F(tool_runner, never_joins_a_figure_split_between_two_reads)
{
    run({"out:( 5%)|", "sleep:100", "out:  (4", "sleep:100", "out:2%)|"});
    EXPECT_EQ(window.progress_position(), 5);
    EXPECT_EQ(window.progress_caption(), " 5 %");
}

TEST_F(tool_runner, standard_error_counts_like_standard_output)
{
    run({"err:(33%)|"});
    EXPECT_EQ(window.progress_position(), 33);
}

TEST_F(tool_runner, a_silent_tool_resets_only_the_bar)
{
    window.show_progress_position(60);
    const tool_run result = run({"sleep:100"});
    EXPECT_TRUE(result.started);
    EXPECT_EQ(window.progress_position(), 0);
    EXPECT_EQ(window.progress_caption(), "0%");
}

TEST_F(tool_runner, reports_the_exit_status_and_does_not_mistake_259_for_running)
{
    for (unsigned long status : {0ul, 3ul, 259ul}) {
        const ULONGLONG start = GetTickCount64();
        const tool_run result = run({"out:(1%)", concat_text("exit:", std::to_string(status))});
        EXPECT_EQ(result.exit_status, status);
        EXPECT_LT(GetTickCount64() - start, 5000u);
    }
}

TEST_F(tool_runner, reads_everything_printed_even_right_before_the_end)
{
    std::size_t bytes = 0;
    Text last_chunk;
    const tool_run result = run({"lines:2000", "sleep:200", "out:tail (99%)|", "exit:0"}, [&](const Text& chunk) {
        bytes += chunk.size();
        EXPECT_LE(chunk.size(), 260u);
        last_chunk = chunk;
    });
    EXPECT_EQ(result.exit_status, 0u);
    EXPECT_EQ(bytes, 2000u * 21u + 11u);
    EXPECT_EQ(window.progress_position(), 99);
    EXPECT_TRUE(last_chunk.ends_with("tail (99%)|"));
}

TEST_F(tool_runner, a_tool_that_cannot_start_ends_the_call_at_once)
{
    window.show_progress_position(50);
    const Text missing = path_in_directory(run_directory(), "no_such_tool.exe");
    const tool_run result = run_tool_with_progress(missing, quoted(missing), window);
    EXPECT_FALSE(result.started);
    EXPECT_EQ(window.progress_position(), 0);
    EXPECT_EQ(window.progress_caption(), "0%");
}

TEST_F(tool_runner, closing_the_window_ends_the_running_tool)
{
    PostMessageA(window.handle(), WM_CLOSE, 0, 0);
    const ULONGLONG start = GetTickCount64();
    const tool_run result = run({"sleep:20000", "out:(50%)"});
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(window.is_closed());
    EXPECT_LT(GetTickCount64() - start, 10000u);
}

TEST_F(tool_runner, the_bar_limits_written_positions_to_its_range)
{
    for (auto [written, shown] : {std::pair{150, 100}, {-5, 0}, {32768, 100}, {100, 100}, {0, 0}, {42, 42}}) {
        window.show_progress_position(written);
        EXPECT_EQ(window.progress_position(), shown) << written;
    }
}
}  // namespace
