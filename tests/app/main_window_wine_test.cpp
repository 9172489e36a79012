// The window as created: place, styles, controls, stacking order, keys and focus.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"

namespace {
struct control_layout {
    const char* class_name;
    const char* text;
    RECT place;  // left, top, right, bottom in client coordinates
};

std::string class_of(HWND window)
{
    char name[64];
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string text_of(HWND window)
{
    char text[256];
    GetWindowTextA(window, text, sizeof text);
    return text;
}

RECT client_place(HWND control)
{
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

HWND child_with_text(HWND parent, const char* text)
{
    return FindWindowExA(parent, nullptr, nullptr, text);
}

MSG key_down(HWND target, WPARAM key)
{
    MSG message{};
    message.hwnd = target;
    message.message = WM_KEYDOWN;
    message.wParam = key;
    return message;
}

// Like the message loop, but leaves the quit request queued for the test to see.
void serve_messages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
        PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
        DispatchMessageA(&message);
    }
}

void drop_quit_request()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

class main_window_test : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.create(GetModuleHandleA(nullptr)));
        serve_messages();
        edit = FindWindowExA(window.handle(), nullptr, "Edit", nullptr);
        select = child_with_text(window.handle(), "选择");
        convert = child_with_text(window.handle(), "转换");
        ASSERT_NE(edit, nullptr);
        ASSERT_NE(select, nullptr);
        ASSERT_NE(convert, nullptr);
    }
    void TearDown() override
    {
        if (!window.is_closed())
            DestroyWindow(window.handle());
        serve_messages();
        drop_quit_request();
    }

    void press(HWND target, WPARAM key, bool shift = false)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        EXPECT_TRUE(window.handle_keyboard(key_down(target, key)));
        serve_messages();
    }

    main_window window;
    HWND edit = nullptr;
    HWND select = nullptr;
    HWND convert = nullptr;
};

TEST_F(main_window_test, is_centred_with_its_fixed_outer_size_and_styles)
{
    RECT outer;
    GetWindowRect(window.handle(), &outer);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 423) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 117) / 2);
    EXPECT_EQ(outer.right - outer.left, 423);
    EXPECT_EQ(outer.bottom - outer.top, 117);
    EXPECT_EQ(text_of(window.handle()), "Velmora");
    const LONG style = GetWindowLongA(window.handle(), GWL_STYLE);
    for (LONG wanted : {WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_CLIPCHILDREN})
        EXPECT_EQ(style & wanted, wanted);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    // Dropped files are taken; nothing else of the extended styles is set.
    EXPECT_EQ(GetWindowLongA(window.handle(), GWL_EXSTYLE) & ~(WS_EX_WINDOWEDGE | WS_EX_ACCEPTFILES), 0);
    EXPECT_EQ(GetWindow(window.handle(), GW_OWNER), nullptr);
    EXPECT_EQ(GetClassLongPtrA(window.handle(), GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    EXPECT_EQ(GetClassLongPtrA(window.handle(), GCLP_HBRBACKGROUND), 0);
}

TEST_F(main_window_test, holds_the_seven_controls_in_their_places_and_stacking_order)
{
    const std::vector<control_layout> expected{
        {"VelmoraLabel", "0%", {179, 35, 232, 52}},
        {"msctls_progress32", "", {45, 52, 397, 68}},
        {"VelmoraLabel", "进度：", {6, 48, 46, 72}},
        {"Button", "转换", {330, 9, 401, 33}},
        {"Button", "选择", {254, 8, 325, 32}},
        {"Edit", "", {44, 9, 248, 33}},
        {"VelmoraLabel", "文件：", {8, 13, 48, 29}},
    };
    HWND control = GetWindow(window.handle(), GW_CHILD);
    for (const auto& wanted : expected) {
        ASSERT_NE(control, nullptr);
        EXPECT_STRCASEEQ(class_of(control).c_str(), wanted.class_name);
        EXPECT_EQ(text_of(control), wanted.text);
        const RECT place = client_place(control);
        EXPECT_TRUE(EqualRect(&place, &wanted.place)) << wanted.text << ": " << place.left << "," << place.top
                                                      << "," << place.right << "," << place.bottom;
        EXPECT_TRUE(IsWindowVisible(control) && IsWindowEnabled(control)) << wanted.text;
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr);
}

TEST_F(main_window_test, controls_have_the_styles_of_the_design)
{
    const LONG edit_style = GetWindowLongA(edit, GWL_STYLE);
    // The edit control takes WS_BORDER over and draws the flat line itself.
    EXPECT_EQ(edit_style & ES_AUTOHSCROLL, ES_AUTOHSCROLL);
    EXPECT_EQ(edit_style & (ES_READONLY | ES_PASSWORD | ES_UPPERCASE | ES_LOWERCASE | ES_MULTILINE), 0);
    EXPECT_EQ(GetWindowLongA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    for (HWND button : {select, convert}) {
        const LONG style = GetWindowLongA(button, GWL_STYLE);
        EXPECT_EQ(style & 0x0F, BS_PUSHBUTTON);
        EXPECT_EQ(style & (BS_CENTER | BS_VCENTER | BS_MULTILINE), BS_CENTER | BS_VCENTER | BS_MULTILINE);
    }
    HWND bar = FindWindowExA(window.handle(), nullptr, PROGRESS_CLASSA, nullptr);
    EXPECT_NE(GetWindowLongA(bar, GWL_STYLE) & PBS_SMOOTH, 0);
    EXPECT_NE(GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_STATICEDGE, 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
    HWND file_label = child_with_text(window.handle(), "文件：");
    EXPECT_NE(GetWindowLongA(file_label, GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);

    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(child_with_text(window.handle(), "0%"), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -16);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(SendMessageA(edit, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
}

TEST_F(main_window_test, tab_cycles_the_focus_and_shift_tab_goes_back)
{
    EXPECT_EQ(GetFocus(), edit);
    press(edit, VK_TAB);
    EXPECT_EQ(GetFocus(), select);
    press(select, VK_TAB);
    EXPECT_EQ(GetFocus(), convert);
    press(convert, VK_TAB);
    EXPECT_EQ(GetFocus(), edit);
    press(edit, VK_TAB, true);
    EXPECT_EQ(GetFocus(), convert);
    EnableWindow(select, FALSE);
    press(convert, VK_TAB, true);
    EXPECT_EQ(GetFocus(), edit);
}

TEST_F(main_window_test, enter_does_nothing_and_other_keys_reach_the_control)
{
    MSG letter = key_down(edit, 'A');
    EXPECT_FALSE(window.handle_keyboard(letter));
    press(edit, VK_RETURN);
    EXPECT_FALSE(window.is_closed());
    EXPECT_EQ(GetFocus(), edit);
}

TEST_F(main_window_test, escape_in_the_edit_box_closes_the_window_and_asks_to_quit)
{
    press(edit, VK_ESCAPE);
    EXPECT_TRUE(window.is_closed());
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

TEST_F(main_window_test, gives_the_focus_back_to_the_control_that_had_it)
{
    press(edit, VK_TAB);
    ASSERT_EQ(GetFocus(), select);
    SendMessageA(window.handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(nullptr);
    SendMessageA(window.handle(), WM_SETFOCUS, 0, 0);
    EXPECT_EQ(GetFocus(), select);
}

TEST_F(main_window_test, switches_input_off_during_a_conversion_and_back_on_after)
{
    press(edit, VK_TAB);
    window.set_input_enabled(false);
    for (HWND control : {edit, select, convert})
        EXPECT_FALSE(IsWindowEnabled(control));
    EXPECT_EQ(GetFocus(), window.handle());
    window.set_input_enabled(true);
    for (HWND control : {edit, select, convert})
        EXPECT_TRUE(IsWindowEnabled(control));
    EXPECT_EQ(GetFocus(), select);
}

TEST_F(main_window_test, path_and_caption_read_back_what_was_written)
{
    const Text long_path = "E:\\" + Text(40000, 'x') + ".silk";
    window.set_path_text(long_path);
    EXPECT_EQ(window.path_text(), long_path);
    window.show_progress_caption(" 7 %");
    EXPECT_EQ(window.progress_caption(), " 7 %");
}
}  // namespace
