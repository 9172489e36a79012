#include "app/label.h"

#include "app/base_window.h"

#include <string>

namespace {
constexpr char label_class_name[] = "VelmoraLabel";
}

void label_control::register_class(HINSTANCE instance)
{
    WNDCLASSEXA window_class{};
    if (GetClassInfoExA(instance, label_class_name, &window_class))
        return;
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = routed_window_procedure<label_control>;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.lpszClassName = label_class_name;
    RegisterClassExA(&window_class);
}

bool label_control::create(HWND parent, const char* text, RECT place, DWORD extended_style, HFONT font)
{
    font_ = font;
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    register_class(instance);
    window_ = CreateWindowExA(extended_style, label_class_name, text, WS_CHILD | WS_CLIPSIBLINGS,
                              place.left, place.top, place.right - place.left, place.bottom - place.top,
                              parent, nullptr, instance, this);
    return window_ != nullptr;
}

LRESULT label_control::handle_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // painting covers it, or leaves it to the parent
    case WM_SETTEXT:
        return caption_changed(wparam, lparam);
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    default:
        return DefWindowProcA(window_, message, wparam, lparam);
    }
}

LRESULT label_control::caption_changed(WPARAM wparam, LPARAM lparam)
{
    LRESULT result = DefWindowProcA(window_, WM_SETTEXT, wparam, lparam);
    InvalidateRect(window_, nullptr, FALSE);
    return result;
}

void label_control::paint()
{
    PAINTSTRUCT paint_info;
    HDC dc = BeginPaint(window_, &paint_info);
    RECT area;
    GetClientRect(window_, &area);
    if (style_.fills_background)
        FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    std::string caption(GetWindowTextLengthA(window_) + 1, '\0');
    int length = GetWindowTextA(window_, caption.data(), static_cast<int>(caption.size()));
    HGDIOBJ previous_font = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, style_.text_colour);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    DrawTextA(dc, caption.data(), length, &area, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
    SelectObject(dc, previous_font);
    EndPaint(window_, &paint_info);
}
