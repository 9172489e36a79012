#include "conversion/process_events.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace {
constexpr UINT first_message = WM_APP + 1;
constexpr UINT follow_up_message = WM_APP + 2;

std::vector<UINT> dispatched;

LRESULT CALLBACK record_message(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message >= WM_APP) {
        dispatched.push_back(message);
        if (message == first_message)
            PostMessageA(window, follow_up_message, 0, 0);
        return 0;
    }
    return DefWindowProcA(window, message, w, l);
}

class ProcessEvents : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = record_message;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = "process_events_test";
        RegisterClassA(&window_class);
        window_ = CreateWindowA("process_events_test", "", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                                window_class.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        drain_queue();
        dispatched.clear();
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        drain_queue();
    }
    static void drain_queue()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    HWND window_ = nullptr;
};

TEST_F(ProcessEvents, DispatchesWaitingMessagesAndThoseTheyPost)
{
    PostMessageA(window_, first_message, 0, 0);
    process_events();
    EXPECT_EQ(dispatched, (std::vector<UINT>{first_message, follow_up_message}));
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(ProcessEvents, ReturnsAtOnceWithAnEmptyQueue)
{
    process_events();
    EXPECT_TRUE(dispatched.empty());
}

TEST_F(ProcessEvents, LeavesTheQuitRequestForTheMainLoop)
{
    PostMessageA(window_, first_message, 0, 0);
    PostQuitMessage(7);
    process_events();
    EXPECT_EQ(dispatched, (std::vector<UINT>{first_message, follow_up_message}));
    MSG message;
    ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), 0) << "WM_QUIT must still be queued";
    EXPECT_EQ(message.wParam, 7u);
}

TEST_F(ProcessEvents, StopsAtAQuitPostedBeforeOtherMessages)
{
    PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 3, 0);
    PostMessageA(window_, first_message, 0, 0);
    process_events();
    EXPECT_TRUE(dispatched.empty());
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(ProcessEvents, RemovesThreadMessagesThatHaveNoWindow)
{
    PostThreadMessageA(GetCurrentThreadId(), first_message, 0, 0);
    process_events();
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
}
}  // namespace
