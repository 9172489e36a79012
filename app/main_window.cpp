#include "app/main_window.h"

#include <commctrl.h>

#include <algorithm>

#include "app/base_window.h"
#include "app/visual_style.h"
#include "conversion/batch_command.h"

namespace {
constexpr char window_class_name[] = "VelmoraMainWindow";
constexpr DWORD window_styles = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD button_styles =
    WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;
constexpr DWORD edit_styles = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL;
constexpr char initial_percentage[] = "0%";
constexpr int select_button_id = 101;
constexpr int convert_button_id = 102;

RECT place(int left, int top, int width, int height)
{
    return RECT{left, top, left + width, top + height};
}

HWND create_child(HWND parent, DWORD extended_style, const char* class_name, const char* text, DWORD styles,
                  RECT where, int id = 0)
{
    return CreateWindowExA(extended_style, class_name, text, styles, where.left, where.top,
                           where.right - where.left, where.bottom - where.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
}

Text window_text(HWND window)
{
    Text text(GetWindowTextLengthA(window), '\0');
    GetWindowTextA(window, text.data(), static_cast<int>(text.size()) + 1);
    return text;
}

HFONT create_percentage_font()
{
    LOGFONTA font{};
    font.lfHeight = -16;
    font.lfWeight = FW_BOLD;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH;
    return CreateFontIndirectA(&font);
}

// The bar takes a 32-bit value but only ever shows 0...100.
int limited_progress_position(std::int32_t position)
{
    return std::clamp(std::clamp(position, 0, 32767), 0, 100);
}

bool is_usable_focus_target(HWND control)
{
    return IsWindowVisible(control) && IsWindowEnabled(control)
        && (GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP) != 0;
}
}  // namespace

// The created event: raised once the window and its controls exist, before it is shown.
void main_window_created() { set_visual_style(2); }

[[noreturn]] void fatal_window_error(const char* text)
{
    MessageBoxA(nullptr, text, "Velmora", MB_OK | MB_ICONHAND | MB_TASKMODAL);
    ExitProcess(static_cast<UINT>(-1));
}

main_window::main_window()
    : 标签2({RGB(255, 0, 0), true}), 标签1({RGB(0, 0, 0), true}), 透明标签1({RGB(0, 0, 0), false})
{
}

main_window::~main_window()
{
    if (window_ != nullptr)
        DestroyWindow(window_);
    if (percentage_font_ != nullptr)
        DeleteObject(percentage_font_);
}

bool main_window::create(HINSTANCE instance)
{
    WNDCLASSEXA window_class{};
    if (!GetClassInfoExA(instance, window_class_name, &window_class)) {
        window_class.cbSize = sizeof window_class;
        window_class.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        window_class.lpfnWndProc = routed_window_procedure<main_window>;
        window_class.hInstance = instance;
        window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
        window_class.lpszClassName = window_class_name;
        RegisterClassExA(&window_class);
    }
    const int left = (GetSystemMetrics(SM_CXSCREEN) - outer_width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - outer_height) / 2;
    CreateWindowExA(0, window_class_name, "Velmora", window_styles, left, top, outer_width, outer_height,
                    nullptr, nullptr, instance, this);
    if (window_ == nullptr)
        return false;
    RECT outer;
    GetWindowRect(window_, &outer);
    if (outer.left != left || outer.top != top || outer.right - outer.left != outer_width
        || outer.bottom - outer.top != outer_height)
        MoveWindow(window_, left, top, outer_width, outer_height, FALSE);

    auto icon = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    gui_font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(gui_font_), FALSE);

    if (!create_controls())
        return false;
    DragAcceptFiles(window_, TRUE);
    raise_created_event();
    ShowWindow(window_, SW_SHOW);
    SetFocus(window_);
    return true;
}

bool main_window::create_controls()
{
    INITCOMMONCONTROLSEX common_controls{sizeof common_controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&common_controls);
    percentage_font_ = create_percentage_font();

    shown_caption_ = initial_percentage;
    标签2.create(window_, initial_percentage, place(179, 35, 53, 17), 0, percentage_font_);
    进度条1 = create_child(window_, WS_EX_STATICEDGE, PROGRESS_CLASSA, "", WS_CHILD | WS_CLIPSIBLINGS | PBS_SMOOTH,
                          place(45, 52, 352, 16));
    标签1.create(window_, "进度：", place(6, 48, 40, 24), 0, gui_font_);
    按钮_选择歌曲1 = create_child(window_, 0, "BUTTON", "转换", button_styles, place(330, 9, 71, 24), convert_button_id);
    按钮_选择歌曲 = create_child(window_, 0, "BUTTON", "选择", button_styles, place(254, 8, 71, 24), select_button_id);
    编辑框2 = create_child(window_, 0, "EDIT", "", edit_styles, place(44, 9, 204, 24));
    透明标签1.create(window_, "文件：", place(8, 13, 40, 16), WS_EX_TRANSPARENT, gui_font_);

    const std::array<HWND, 7> stacking_order{标签2.handle(), 进度条1, 标签1.handle(), 按钮_选择歌曲1,
                                             按钮_选择歌曲, 编辑框2, 透明标签1.handle()};
    if (std::ranges::find(stacking_order, nullptr) != stacking_order.end())
        return false;
    SendMessageA(进度条1, PBM_SETRANGE32, 0, 100);
    SendMessageA(编辑框2, EM_LIMITTEXT, 0, 0);
    for (HWND control : stacking_order) {
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(control == 标签2.handle() ? percentage_font_ : gui_font_),
                     FALSE);
        SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (HWND control : stacking_order)
        ShowWindow(control, SW_SHOWNA);
    return true;
}

void main_window::raise_created_event()
{
    main_window_created();
}

LRESULT main_window::handle_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_COMMAND:
        return command(wparam, lparam);
    case WM_ERASEBKGND:
        return erase_background(reinterpret_cast<HDC>(wparam));
    case WM_ACTIVATE:
        activation_changed(wparam);
        return 0;
    case WM_SETFOCUS:
        focus_received();
        return 0;
    case WM_KEYDOWN:
        // Reaches the window itself only while a conversion holds the focus here.
        if (wparam == VK_ESCAPE)
            PostMessageA(window_, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_DROPFILES:
        files_dropped(reinterpret_cast<HDROP>(wparam));
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    default:
        return DefWindowProcA(window_, message, wparam, lparam);
    }
}

LRESULT main_window::command(WPARAM wparam, LPARAM)
{
    if (HIWORD(wparam) == BN_CLICKED) {
        if (LOWORD(wparam) == select_button_id)
            select_button_clicked();
        else if (LOWORD(wparam) == convert_button_id)
            convert_button_clicked();
    }
    return 0;
}

LRESULT main_window::erase_background(HDC dc)
{
    RECT area;
    GetClientRect(window_, &area);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
}

void main_window::activation_changed(WPARAM wparam)
{
    if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus))
            remembered_focus_ = focus;
    } else if (!HIWORD(wparam)) {
        focus_received();
    }
}

void main_window::focus_received()
{
    if (!input_enabled_)
        return;
    HWND target = remembered_focus_ != nullptr && is_usable_focus_target(remembered_focus_)
        ? remembered_focus_
        : first_focusable_control();
    if (target != nullptr)
        SetFocus(target);
}

std::array<HWND, 3> main_window::focus_order() const
{
    return {编辑框2, 按钮_选择歌曲, 按钮_选择歌曲1};
}

HWND main_window::first_focusable_control() const
{
    for (HWND control : focus_order())
        if (is_usable_focus_target(control))
            return control;
    return nullptr;
}

void main_window::move_focus(int step)
{
    const auto order = focus_order();
    const int count = static_cast<int>(order.size());
    const auto current = std::ranges::find(order, GetFocus());
    int index = current == order.end() ? (step > 0 ? -1 : 0) : static_cast<int>(current - order.begin());
    for (int tried = 0; tried < count; ++tried) {
        index = (index + step + count) % count;
        if (is_usable_focus_target(order[index])) {
            SetFocus(order[index]);
            return;
        }
    }
}

bool main_window::handle_keyboard(const MSG& message)
{
    if (message.message != WM_KEYDOWN || window_ == nullptr
        || (message.hwnd != window_ && !IsChild(window_, message.hwnd)))
        return false;
    switch (message.wParam) {
    case VK_TAB:
        move_focus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
        return true;
    case VK_ESCAPE:
        SendMessageA(window_, WM_CLOSE, 0, 0);
        return true;
    case VK_RETURN:
        return true;
    default:
        return false;
    }
}

void main_window::require_loaded() const
{
    if (window_ == nullptr)
        fatal_window_error("窗口未载入，程序将结束。");
}

Text main_window::path_text() const
{
    require_loaded();
    return window_text(编辑框2);
}

void main_window::set_path_text(const Text& path)
{
    require_loaded();
    SetWindowTextA(编辑框2, path.c_str());
}

void main_window::show_progress_position(std::int32_t position)
{
    require_loaded();
    // A tool repeats its figure many times; repainting the same one costs for nothing.
    const int shown = limited_progress_position(position);
    if (shown != shown_position_)
        SendMessageA(进度条1, PBM_SETPOS, shown, 0);
    shown_position_ = shown;
}

void main_window::show_progress_caption(const Text& caption)
{
    require_loaded();
    if (caption != shown_caption_)
        SetWindowTextA(标签2.handle(), caption.c_str());
    shown_caption_ = caption;
}

std::int32_t main_window::progress_position() const
{
    require_loaded();
    return static_cast<std::int32_t>(SendMessageA(进度条1, PBM_GETPOS, 0, 0));
}

Text main_window::progress_caption() const
{
    require_loaded();
    return window_text(标签2.handle());
}

void main_window::set_input_enabled(bool enabled)
{
    if (window_ == nullptr)
        return;
    input_enabled_ = enabled;
    if (!enabled && IsChild(window_, GetFocus())) {
        remembered_focus_ = GetFocus();
        // Keys still reach the window, so Esc closes it while the controls are off.
        SetFocus(window_);
    }
    for (HWND control : focus_order())
        EnableWindow(control, enabled);
    if (enabled && GetActiveWindow() == window_)
        focus_received();
}

void main_window::show_window_caption(const Text& caption)
{
    require_loaded();
    SetWindowTextA(window_, caption.c_str());
}

void main_window::select_button_clicked()
{
    ::select_button_clicked(通用对话框1, *this);
}

// Like a choice in the dialog; refused while a conversion runs, like the buttons.
void main_window::files_dropped(HDROP drop)
{
    const Text paths = take_dropped_paths(drop);
    if (input_enabled_ && !paths.empty())
        set_path_text(paths);
}

void main_window::convert_button_clicked()
{
    convert_files_clicked(*this);
}
