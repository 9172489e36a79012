// The visual-style layer on real windows of this thread: which controls it takes
// over, that it gives every window back, and the colours it paints them in.
#include "app/visual_style.h"
#include "tests/app/visual_style_test_support.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr COLORREF scheme2_field = RGB(164, 185, 127);
constexpr COLORREF scheme2_outline = RGB(55, 98, 6);

COLORREF darkened_by_32(COLORREF colour)
{
    auto channel = [](int value) { return value >= 32 ? value - 32 : 0; };
    return RGB(channel(GetRValue(colour)), channel(GetGValue(colour)), channel(GetBValue(colour)));
}

// Asked in the window's own character set, so a procedure comes back as it was set.
LONG_PTR procedure_of(HWND window)
{
    return IsWindowUnicode(window) ? GetWindowLongPtrW(window, GWLP_WNDPROC) : GetWindowLongPtrA(window, GWLP_WNDPROC);
}

// One top-level window for all tests: creating and destroying top-level windows
// is slow under an X server without a window manager.
class VisualStyle : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES};
        InitCommonControlsEx(&classes);
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = DefWindowProcA;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        window_class.lpszClassName = "VisualStyleTestWindow";
        RegisterClassA(&window_class);
        window_ = CreateWindowExA(0, "VisualStyleTestWindow", "visual style", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE,
                                  40, 40, 440, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }

    static void TearDownTestSuite() { DestroyWindow(window_); }

    void SetUp() override { ASSERT_NE(window_, nullptr); }

    void TearDown() override
    {
        set_visual_style(0);
        while (HWND control = GetWindow(window_, GW_CHILD))
            DestroyWindow(control);
        process_messages();
    }

    HWND child(const char* class_name, DWORD style, int x, int y, int width, int height, HWND parent = nullptr,
               const char* text = "Text")
    {
        return CreateWindowExA(0, class_name, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                               parent != nullptr ? parent : window_, nullptr, GetModuleHandleA(nullptr), nullptr);
    }

    static inline HWND window_ = nullptr;
};

TEST_F(VisualStyle, SwitchingOnTakesOverExistingControlsNestedOnesAndLaterOnes)
{
    HWND button = child("BUTTON", BS_PUSHBUTTON, 10, 10, 71, 24);
    HWND edit = child("EDIT", WS_BORDER | ES_AUTOHSCROLL, 90, 10, 200, 24);
    HWND panel = child("STATIC", 0, 10, 50, 200, 60);
    HWND nested = child("BUTTON", BS_PUSHBUTTON, 5, 5, 71, 24, panel);
    const LONG_PTR button_procedure = procedure_of(button);
    const LONG_PTR edit_procedure = procedure_of(edit);
    const LONG_PTR panel_procedure = procedure_of(panel);

    EXPECT_EQ(set_visual_style(2), 1);
    EXPECT_NE(procedure_of(button), button_procedure);
    EXPECT_NE(procedure_of(edit), edit_procedure);
    EXPECT_NE(procedure_of(nested), button_procedure);
    EXPECT_EQ(procedure_of(panel), panel_procedure);

    HWND later = child("BUTTON", BS_PUSHBUTTON, 10, 120, 71, 24);
    EXPECT_EQ(procedure_of(later), procedure_of(button));
}

TEST_F(VisualStyle, SwitchingOffGivesEveryProcedureBackAndRemovesTheHook)
{
    HWND button = child("BUTTON", BS_PUSHBUTTON, 10, 10, 71, 24);
    HWND edit = child("EDIT", WS_BORDER, 90, 10, 200, 24);
    HWND doomed = child("BUTTON", BS_PUSHBUTTON, 300, 10, 71, 24);
    const LONG_PTR button_procedure = procedure_of(button);
    const LONG_PTR edit_procedure = procedure_of(edit);
    ASSERT_EQ(set_visual_style(2), 1);
    HWND later = child("EDIT", WS_BORDER, 90, 50, 200, 24);
    DestroyWindow(doomed);  // its restyling goes with it, and switching off must not trip over it

    EXPECT_NE(set_visual_style(0), 0);
    EXPECT_EQ(procedure_of(button), button_procedure);
    EXPECT_EQ(procedure_of(edit), edit_procedure);
    EXPECT_EQ(procedure_of(later), edit_procedure);
    HWND after = child("BUTTON", BS_PUSHBUTTON, 10, 90, 71, 24);
    EXPECT_EQ(procedure_of(after), button_procedure);
    EXPECT_EQ(set_visual_style(0), 0) << "no hook is left to remove";
}

TEST_F(VisualStyle, ResultsOfSwitchingOnAndOff)
{
    struct Case {
        std::int32_t scheme;
        std::int32_t result;
    };
    // Every scheme switches on; any other value switches off and reports whether
    // a hook was removed.
    const Case cases[] = {{1, 1}, {3, 1}, {2, 1}, {2, 1}, {4, 1}, {-1, 0}, {0, 0}, {3, 1}, {0, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(set_visual_style(c.scheme), c.result) << "scheme " << c.scheme;
}

TEST_F(VisualStyle, TakesOverOnlyTheListedClasses)
{
    struct Case {
        const char* class_name;
        DWORD style;
        bool restyled;
    };
    const Case cases[] = {
        {"BUTTON", BS_PUSHBUTTON, true},      {"BUTTON", BS_DEFPUSHBUTTON, true},
        {"BUTTON", BS_AUTOCHECKBOX, true},    {"BUTTON", BS_AUTO3STATE, true},
        {"BUTTON", BS_AUTORADIOBUTTON, true}, {"BUTTON", BS_GROUPBOX, true},
        {"BUTTON", BS_OWNERDRAW, false},
        {"BUTTON", BS_PUSHBUTTON | BS_BITMAP, false},
        {"EDIT", WS_BORDER, true},            {"EDIT", ES_MULTILINE | WS_VSCROLL, true},
        {"COMBOBOX", CBS_DROPDOWNLIST, true}, {"COMBOBOX", CBS_DROPDOWN, true},
        {"COMBOBOX", CBS_SIMPLE, false},      {UPDOWN_CLASSA, 0, true},
        {PROGRESS_CLASSA, PBS_SMOOTH, false}, {"STATIC", SS_LEFT, false},
        {"LISTBOX", WS_BORDER, false},        {"SCROLLBAR", SBS_HORZ, false},
        {TRACKBAR_CLASSA, 0, false},          {WC_TABCONTROLA, 0, false},
        {WC_LISTVIEWA, 0, false},             {WC_IPADDRESSA, 0, false},
    };
    std::vector<std::pair<HWND, LONG_PTR>> windows;
    for (const Case& c : cases) {
        HWND window = child(c.class_name, c.style, 10, 10, 150, 60);
        ASSERT_NE(window, nullptr) << c.class_name;
        windows.emplace_back(window, procedure_of(window));
    }
    ASSERT_EQ(set_visual_style(2), 1);
    for (size_t i = 0; i < windows.size(); ++i)
        EXPECT_EQ(procedure_of(windows[i].first) != windows[i].second, cases[i].restyled)
            << cases[i].class_name << " style " << std::hex << cases[i].style;

    // The fields inside an IP-address control are edit boxes that keep their look.
    HWND address = windows.back().first;
    HWND restyled_edit = child("EDIT", WS_BORDER, 10, 100, 150, 24);
    HWND field = GetWindow(address, GW_CHILD);
    ASSERT_NE(field, nullptr);
    for (; field != nullptr; field = GetWindow(field, GW_HWNDNEXT))
        EXPECT_NE(procedure_of(field), procedure_of(restyled_edit));
}

TEST_F(VisualStyle, ASubclassPutOnTopLaterSurvivesSwitchingOff)
{
    static WNDPROC below = nullptr;
    static int messages_seen = 0;
    HWND button = child("BUTTON", BS_PUSHBUTTON, 10, 10, 71, 24);
    ASSERT_EQ(set_visual_style(2), 1);
    auto on_top = [](HWND window, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
        ++messages_seen;
        return CallWindowProcA(below, window, message, wparam, lparam);
    };
    below = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(static_cast<WNDPROC>(on_top))));

    set_visual_style(0);
    EXPECT_EQ(procedure_of(button), reinterpret_cast<LONG_PTR>(static_cast<WNDPROC>(on_top)));
    messages_seen = 0;
    SetWindowTextA(button, "still works");
    char text[32]{};
    GetWindowTextA(button, text, sizeof text);
    EXPECT_STREQ(text, "still works");
    EXPECT_GT(messages_seen, 0);
    SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(below));
}

TEST_F(VisualStyle, AWideCharacterControlKeepsTextsOutsideTheCodePage)
{
    const std::wstring thai = L"\x0E01\x0E02 file";
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 24, window_, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_EQ(set_visual_style(2), 1);
    EXPECT_TRUE(IsWindowUnicode(edit));
    SetWindowTextW(edit, thai.c_str());
    wchar_t text[32]{};
    GetWindowTextW(edit, text, 32);
    EXPECT_EQ(std::wstring(text), thai);
}

// --- What it paints ----------------------------------------------------------

TEST_F(VisualStyle, EditFramesByState)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF window_colour = GetSysColor(COLOR_WINDOW);
    struct Case {
        const char* what;
        DWORD extended_style;
        DWORD style;
        bool enabled;
        COLORREF outer;
        COLORREF inner;
    };
    const Case cases[] = {
        {"editable", 0, WS_BORDER, true, scheme2_field, window_colour},
        {"read-only", 0, WS_BORDER | ES_READONLY, true, scheme2_field, face},
        {"disabled", 0, WS_BORDER, false, darkened_by_32(face), face},
        {"client edge", WS_EX_CLIENTEDGE, 0, true, scheme2_field, window_colour},
    };
    std::vector<HWND> edits;
    int top = 10;
    for (const Case& c : cases) {
        HWND edit = CreateWindowExA(c.extended_style, "EDIT", "C:\\voice.silk",
                                    WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | c.style, 10, top, 204, 24, window_,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
        EnableWindow(edit, c.enabled);
        edits.push_back(edit);
        top += 34;
    }
    ASSERT_EQ(set_visual_style(2), 1);
    SetFocus(edits[0]);
    repaint(window_);
    for (size_t i = 0; i < edits.size(); ++i) {
        for (POINT outer : {POINT{0, 12}, POINT{100, 0}, POINT{203, 12}, POINT{100, 23}})
            EXPECT_EQ(pixel(edits[i], outer.x, outer.y), cases[i].outer) << cases[i].what;
        for (POINT inner : {POINT{1, 12}, POINT{100, 1}, POINT{202, 12}, POINT{100, 22}})
            EXPECT_EQ(pixel(edits[i], inner.x, inner.y), cases[i].inner) << cases[i].what;
    }

    EnableWindow(edits[2], TRUE);
    process_messages();
    EXPECT_EQ(pixel(edits[2], 0, 12), scheme2_field) << "enabling again repaints the frame";
}

TEST_F(VisualStyle, PushButtonFrameOutlineAndStates)
{
    HWND normal = child("BUTTON", BS_PUSHBUTTON | BS_MULTILINE, 10, 10, 71, 24, nullptr, "Go");
    HWND disabled = child("BUTTON", BS_PUSHBUTTON, 90, 10, 71, 24, nullptr, "Off");
    EnableWindow(disabled, FALSE);
    ASSERT_EQ(set_visual_style(2), 1);
    repaint(window_);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(pixel(normal, 0, 12), face) << "one-pixel frame in the button face";
    for (POINT outline : {POINT{1, 12}, POINT{35, 1}, POINT{69, 12}, POINT{35, 22}})
        EXPECT_EQ(pixel(normal, outline.x, outline.y), scheme2_outline);
    EXPECT_EQ(pixel(disabled, 1, 12), darkened_by_32(face));

    const COLORREF normal_face = pixel(normal, 10, 18);
    SendMessageA(normal, BM_SETSTATE, TRUE, 0);
    process_messages();
    const COLORREF pressed_face = pixel(normal, 10, 18);
    EXPECT_NE(pressed_face, normal_face);
    EXPECT_EQ(pixel(normal, 1, 12), scheme2_outline) << "the Button class must not paint over the skin";
    SendMessageA(normal, BM_SETSTATE, FALSE, 0);
    process_messages();
    EXPECT_EQ(pixel(normal, 10, 18), normal_face);

    // Hot while the mouse is over it, normal again after the mouse-leave notification.
    POINT centre{35, 12};
    ClientToScreen(normal, &centre);
    SetCursorPos(centre.x, centre.y);
    SendMessageA(normal, WM_MOUSEMOVE, 0, MAKELPARAM(35, 12));
    process_messages();
    EXPECT_NE(pixel(normal, 3, 12), pixel(disabled, 3, 12)) << "hot accent";
    const COLORREF hot_edge = pixel(normal, 2, 12);
    SetCursorPos(5, 5);
    for (int i = 0; i < 20 && pixel(normal, 2, 12) == hot_edge; ++i) {
        Sleep(50);
        process_messages();
    }
    EXPECT_NE(pixel(normal, 2, 12), hot_edge) << "mouse-leave ends the hot look";
}

TEST_F(VisualStyle, OtherSchemesUseTheirColours)
{
    struct Case {
        std::int32_t scheme;
        COLORREF field;
        COLORREF outline;
    };
    const Case cases[] = {{1, RGB(123, 158, 189), RGB(0, 60, 115)}, {3, RGB(198, 197, 215), RGB(0, 60, 116)}};
    HWND button = child("BUTTON", BS_PUSHBUTTON, 10, 10, 71, 24);
    HWND edit = child("EDIT", WS_BORDER, 90, 10, 200, 24);
    for (const Case& c : cases) {
        ASSERT_EQ(set_visual_style(c.scheme), 1);
        repaint(window_);
        EXPECT_EQ(pixel(button, 1, 12), c.outline) << "scheme " << c.scheme;
        EXPECT_EQ(pixel(edit, 0, 12), c.field) << "scheme " << c.scheme;
    }
}

TEST_F(VisualStyle, ProgressBarAndLabelsKeepTheirLookAndSwitchingOffRestoresTheControls)
{
    HWND bar = CreateWindowExA(WS_EX_STATICEDGE, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 45, 52, 352,
                               16, window_, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(bar, PBM_SETPOS, 40, 0);
    HWND label = child("STATIC", SS_LEFT, 6, 80, 60, 20, nullptr, "Label");
    HWND button = child("BUTTON", BS_PUSHBUTTON, 10, 10, 71, 24);
    repaint(window_);
    const std::vector<COLORREF> bar_before = own_pixels(bar);
    const std::vector<COLORREF> label_before = own_pixels(label);
    const std::vector<COLORREF> button_before = own_pixels(button);

    ASSERT_EQ(set_visual_style(2), 1);
    repaint(window_);
    EXPECT_EQ(own_pixels(bar), bar_before);
    EXPECT_EQ(own_pixels(label), label_before);
    EXPECT_NE(own_pixels(button), button_before);

    set_visual_style(0);
    repaint(window_);
    EXPECT_EQ(own_pixels(button), button_before);
}

// --- Windows the system makes on this thread ---------------------------------

HWND dialog_of_this_thread()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            char name[16]{};
            GetClassNameA(window, name, sizeof name);
            if (std::string(name) != "#32770" || !IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

struct DialogLook {
    COLORREF button_outline = CLR_INVALID;
    COLORREF edit_frame = CLR_INVALID;
};
DialogLook seen_look;

BOOL CALLBACK look_at_control(HWND control, LPARAM)
{
    char name[16]{};
    GetClassNameA(control, name, sizeof name);
    RECT area;
    GetWindowRect(control, &area);
    const int middle = (area.bottom - area.top) / 2;
    const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    if (!IsWindowVisible(control))
        return TRUE;
    if (std::string(name) == "Button" && (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON)
        seen_look.button_outline = pixel(control, 1, middle);
    else if (std::string(name) == "Edit" && GetParent(control) == GetAncestor(control, GA_ROOT))
        seen_look.edit_frame = pixel(control, 0, middle);
    return TRUE;
}

void CALLBACK inspect_and_close_dialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = dialog_of_this_thread();
    if (dialog == nullptr)
        return;
    KillTimer(nullptr, timer);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EnumChildWindows(dialog, look_at_control, 0);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(VisualStyle, MessageBoxButtonsWearTheSkin)
{
    ASSERT_EQ(set_visual_style(2), 1);
    seen_look = {};
    SetTimer(nullptr, 0, 200, inspect_and_close_dialog);
    MessageBoxA(nullptr, "done", "notice", MB_OK | MB_ICONHAND | MB_TASKMODAL);
    EXPECT_EQ(seen_look.button_outline, scheme2_outline);
}

TEST_F(VisualStyle, OpenFileDialogButtonsAndFieldsWearTheSkin)
{
    ASSERT_EQ(set_visual_style(2), 1);
    seen_look = {};
    char file_name[MAX_PATH]{};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFile = file_name;
    dialog.nMaxFile = sizeof file_name;
    dialog.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    SetTimer(nullptr, 0, 500, inspect_and_close_dialog);
    GetOpenFileNameA(&dialog);
    EXPECT_EQ(seen_look.button_outline, scheme2_outline);
}

}  // namespace
