// Colours and drawing primitives shared by the painters of the visual-style layer.

#include "app/visual_style_drawing.h"

#include <algorithm>
#include <array>
#include <string>

namespace visual_style {

namespace {

struct Gradient {
    COLORREF top;
    COLORREF bottom;
};

COLOR16 channel16(BYTE channel)
{
    return static_cast<COLOR16>(channel << 8);
}

TRIVERTEX vertex(LONG x, LONG y, COLORREF colour)
{
    return TRIVERTEX{x, y, channel16(GetRValue(colour)), channel16(GetGValue(colour)), channel16(GetBValue(colour)), 0};
}

BYTE mixed_channel(BYTE from, BYTE to, int percent_of_to)
{
    return static_cast<BYTE>((from * (100 - percent_of_to) + to * percent_of_to) / 100);
}

Gradient small_face_gradient(FaceLook look, const Palette& palette)
{
    const COLORREF white = RGB(255, 255, 255);
    switch (look) {
    case FaceLook::hot:
        return {white, blended(palette.field_frame, white, 70)};
    case FaceLook::pressed:
        return {blended(palette.field_frame, white, 30), blended(palette.field_frame, white, 80)};
    case FaceLook::disabled:
        return {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE)};
    case FaceLook::normal:
        break;
    }
    return {white, blended(palette.field_frame, white, 45)};
}

HFONT control_font(HWND control)
{
    auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    return font != nullptr ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

std::string window_text(HWND control)
{
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)), '\0');
    GetWindowTextA(control, text.data(), static_cast<int>(text.size()) + 1);
    return text;
}

// DrawText centres only single lines vertically; wrapped captions are measured first.
RECT caption_place(HDC dc, const std::string& text, RECT area, UINT format)
{
    if ((format & DT_SINGLELINE) != 0)
        return area;
    RECT measured = area;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_CALCRECT);
    const LONG spare = (area.bottom - area.top) - (measured.bottom - measured.top);
    if ((format & DT_VCENTER) != 0)
        area.top += spare / 2;
    else if ((format & DT_BOTTOM) != 0)
        area.top += spare;
    return area;
}

}  // namespace

Palette palette_of(std::int32_t scheme)
{
    constexpr std::array palettes{
        Palette{RGB(123, 158, 189), RGB(0, 60, 115), RGB(105, 130, 238), RGB(206, 231, 255)},
        Palette{RGB(164, 185, 127), RGB(55, 98, 6), RGB(143, 172, 85), RGB(207, 224, 165)},
        Palette{RGB(198, 197, 215), RGB(0, 60, 116), RGB(105, 130, 238), RGB(206, 231, 255)},
    };
    const size_t index = scheme == 1 ? 0 : scheme == 3 ? 2 : 1;
    return palettes[index];
}

COLORREF darkened(COLORREF colour, int amount)
{
    auto channel = [amount](BYTE value) { return static_cast<BYTE>(std::max(0, value - amount)); };
    return RGB(channel(GetRValue(colour)), channel(GetGValue(colour)), channel(GetBValue(colour)));
}

COLORREF blended(COLORREF from, COLORREF to, int percent_of_to)
{
    return RGB(mixed_channel(GetRValue(from), GetRValue(to), percent_of_to),
               mixed_channel(GetGValue(from), GetGValue(to), percent_of_to),
               mixed_channel(GetBValue(from), GetBValue(to), percent_of_to));
}

void fill(HDC dc, const RECT& area, COLORREF colour)
{
    const COLORREF previous = SetDCBrushColor(dc, colour);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, previous);
}

void frame(HDC dc, const RECT& area, COLORREF colour)
{
    fill(dc, RECT{area.left, area.top, area.right, area.top + 1}, colour);
    fill(dc, RECT{area.left, area.bottom - 1, area.right, area.bottom}, colour);
    fill(dc, RECT{area.left, area.top, area.left + 1, area.bottom}, colour);
    fill(dc, RECT{area.right - 1, area.top, area.right, area.bottom}, colour);
}

void fill_vertical_gradient(HDC dc, const RECT& area, COLORREF top, COLORREF bottom)
{
    if (area.right <= area.left || area.bottom <= area.top)
        return;
    std::array vertices{vertex(area.left, area.top, top), vertex(area.right, area.bottom, bottom)};
    GRADIENT_RECT rectangle{0, 1};
    GradientFill(dc, vertices.data(), static_cast<ULONG>(vertices.size()), &rectangle, 1, GRADIENT_FILL_RECT_V);
}

FaceLook face_look(const DrawingState& state)
{
    if (state.disabled)
        return FaceLook::disabled;
    if (state.pressed)
        return FaceLook::pressed;
    return state.mouse_over ? FaceLook::hot : FaceLook::normal;
}

void paint_small_face(HDC dc, const RECT& area, FaceLook look, const Palette& palette)
{
    const Gradient gradient = small_face_gradient(look, palette);
    fill_vertical_gradient(dc, area, gradient.top, gradient.bottom);
    const COLORREF outline =
        look == FaceLook::disabled ? darkened(GetSysColor(COLOR_BTNFACE), 32) : palette.field_frame;
    frame(dc, area, outline);
}

void draw_arrow(HDC dc, const RECT& area, ArrowDirection direction, COLORREF colour)
{
    const LONG centre_x = (area.left + area.right) / 2;
    const LONG centre_y = (area.top + area.bottom) / 2;
    // A solid triangle of four rows (or columns), widest at its base.
    for (LONG step = 0; step < 4; ++step) {
        const LONG half = 3 - step;
        switch (direction) {
        case ArrowDirection::down:
            fill(dc, RECT{centre_x - half, centre_y - 2 + step, centre_x + half + 1, centre_y - 1 + step}, colour);
            break;
        case ArrowDirection::up:
            fill(dc, RECT{centre_x - half, centre_y + 1 - step, centre_x + half + 1, centre_y + 2 - step}, colour);
            break;
        case ArrowDirection::right:
            fill(dc, RECT{centre_x - 2 + step, centre_y - half, centre_x - 1 + step, centre_y + half + 1}, colour);
            break;
        case ArrowDirection::left:
            fill(dc, RECT{centre_x + 1 - step, centre_y - half, centre_x + 2 - step, centre_y + half + 1}, colour);
            break;
        }
    }
}

HBRUSH parent_background(HWND control, HDC dc)
{
    HWND parent = GetParent(control);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(parent != nullptr ? parent : control, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(control)));
    if (brush != nullptr)
        return brush;
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    return GetSysColorBrush(COLOR_BTNFACE);
}

bool shows_focus_cues(HWND control)
{
    return (SendMessageA(control, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

void draw_caption(HDC dc, HWND control, RECT area, UINT format, COLORREF colour)
{
    const std::string text = window_text(control);
    if (text.empty())
        return;
    if ((SendMessageA(control, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) != 0)
        format |= DT_HIDEPREFIX;
    HGDIOBJ previous_font = SelectObject(dc, control_font(control));
    const int previous_mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previous_colour = SetTextColor(dc, colour);
    RECT place = caption_place(dc, text, area, format);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &place, format);
    SetTextColor(dc, previous_colour);
    SetBkMode(dc, previous_mode);
    SelectObject(dc, previous_font);
}

void copy_to_screen_except_children(HDC screen, HDC buffer, HWND control, const RECT& area)
{
    // A control without WS_CLIPCHILDREN (a combo box with its edit field) would
    // otherwise copy over the pixels of its own children.
    for (HWND child = GetWindow(control, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        RECT place;
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&place), 2);
        ExcludeClipRect(screen, place.left, place.top, place.right, place.bottom);
    }
    BitBlt(screen, 0, 0, area.right, area.bottom, buffer, 0, 0, SRCCOPY);
}

}  // namespace visual_style
