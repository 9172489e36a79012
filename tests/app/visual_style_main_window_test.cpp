// The skin on the program's own window: its two buttons and the path field wear
// the scheme-2 colours, the progress bar and the three labels look exactly as
// they do without the skin.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/visual_style.h"
#include "tests/app/visual_style_test_support.h"

namespace {

std::string class_of(HWND window)
{
    char name[64]{};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string text_of(HWND window)
{
    char text[64]{};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct Controls {
    HWND select = nullptr;
    HWND convert = nullptr;
    HWND path = nullptr;
    HWND bar = nullptr;
    std::vector<HWND> labels;
};

Controls controls_of(HWND window)
{
    Controls found;
    for (HWND control = GetWindow(window, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
        const std::string name = class_of(control);
        if (name == "Button" && text_of(control) == "选择")
            found.select = control;
        else if (name == "Button" && text_of(control) == "转换")
            found.convert = control;
        else if (name == "Edit")
            found.path = control;
        else if (name == PROGRESS_CLASSA)
            found.bar = control;
        else
            found.labels.push_back(control);
    }
    return found;
}


TEST(VisualStyleOnMainWindow, ButtonsAndPathFieldWearSchemeTwoTheRestKeepsItsLook)
{
    main_window window;
    ASSERT_TRUE(window.create(GetModuleHandleA(nullptr)));
    const Controls controls = controls_of(window.handle());
    ASSERT_NE(controls.select, nullptr);
    ASSERT_NE(controls.convert, nullptr);
    ASSERT_NE(controls.path, nullptr);
    ASSERT_NE(controls.bar, nullptr);
    ASSERT_EQ(controls.labels.size(), 3U);
    window.show_progress_position(40);
    repaint(window.handle());

    for (HWND button : {controls.select, controls.convert}) {
        EXPECT_EQ(pixel(button, 1, 12), RGB(55, 98, 6)) << text_of(button);
        EXPECT_EQ(pixel(button, 35, 1), RGB(55, 98, 6)) << text_of(button);
    }
    EXPECT_EQ(pixel(controls.path, 0, 12), RGB(164, 185, 127));
    EXPECT_EQ(pixel(controls.path, 100, 23), RGB(164, 185, 127));
    EXPECT_EQ(pixel(controls.path, 1, 12), GetSysColor(COLOR_WINDOW));

    std::vector<std::vector<COLORREF>> styled;
    for (HWND control : {controls.bar, controls.labels[0], controls.labels[1], controls.labels[2]})
        styled.push_back(own_pixels(control, controls.path));
    const std::vector<COLORREF> styled_button = own_pixels(controls.select);

    set_visual_style(0);
    repaint(window.handle());
    size_t index = 0;
    for (HWND control : {controls.bar, controls.labels[0], controls.labels[1], controls.labels[2]})
        EXPECT_EQ(own_pixels(control, controls.path), styled[index++]) << class_of(control);
    EXPECT_NE(own_pixels(controls.select), styled_button) << "the unstyled button must look different";
}

}  // namespace
