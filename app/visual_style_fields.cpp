// The looks of the input fields: edit boxes, combo boxes with their drop-down lists,
// and up-down controls.

#include "app/visual_style_drawing.h"

#include <commctrl.h>

#include <algorithm>

namespace visual_style {

namespace {

struct FieldColours {
    COLORREF outer;
    COLORREF inner;
};

FieldColours field_colours(const DrawingState& state, const Palette& palette)
{
    const COLORREF button_face = GetSysColor(COLOR_BTNFACE);
    return FieldColours{state.disabled ? darkened(button_face, 32) : palette.field_frame,
                        state.disabled || state.read_only ? button_face : GetSysColor(COLOR_WINDOW)};
}

COLORREF arrow_colour(const DrawingState& state, const Palette& palette)
{
    return state.disabled ? GetSysColor(COLOR_GRAYTEXT) : palette.button_outline;
}

// How far the client area lies inside the window's own edge.
LONG border_width(HWND control)
{
    RECT window;
    GetWindowRect(control, &window);
    POINT client_origin{0, 0};
    ClientToScreen(control, &client_origin);
    return client_origin.x - window.left;
}

}  // namespace

bool edit_has_frame(HWND edit)
{
    const auto style = GetWindowLongPtrA(edit, GWL_STYLE);
    const auto extended_style = GetWindowLongPtrA(edit, GWL_EXSTYLE);
    if ((style & WS_BORDER) != 0 || (extended_style & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)) != 0)
        return true;
    // Some systems draw the border of a WS_BORDER edit box inside its client area
    // and drop the style bit; its formatting rectangle then starts beyond the margin.
    RECT formatting{};
    SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&formatting));
    const auto margins = SendMessageA(edit, EM_GETMARGINS, 0, 0);
    return formatting.left > LOWORD(margins);
}

void paint_field_frame(HWND control, const DrawingState& state, const Palette& palette, bool with_inner_frame)
{
    RECT area;
    GetWindowRect(control, &area);
    OffsetRect(&area, -area.left, -area.top);
    HDC dc = GetWindowDC(control);
    const FieldColours colours = field_colours(state, palette);
    frame(dc, area, colours.outer);
    if (with_inner_frame) {
        // A wider border (a three-dimensional edge) is covered in the inner colour too.
        const LONG rings = std::max<LONG>(1, border_width(control) - 1);
        for (LONG ring = 1; ring <= rings; ++ring) {
            InflateRect(&area, -1, -1);
            frame(dc, area, colours.inner);
        }
    }
    ReleaseDC(control, dc);
}

void paint_combo_overlay(HDC dc, HWND combo, const DrawingState& state, const Palette& palette)
{
    RECT area;
    GetClientRect(combo, &area);
    const FieldColours colours = field_colours(state, palette);
    frame(dc, area, colours.outer);
    InflateRect(&area, -1, -1);
    frame(dc, area, colours.inner);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(combo, &info) || info.rcButton.right <= info.rcButton.left)
        return;
    paint_small_face(dc, info.rcButton, face_look(state), palette);
    draw_arrow(dc, info.rcButton, ArrowDirection::down, arrow_colour(state, palette));
}

void paint_up_down(HDC dc, const RECT& area, HWND control, const DrawingState& state, const Palette& palette)
{
    fill(dc, area, GetSysColor(COLOR_BTNFACE));
    const bool horizontal = (GetWindowLongPtrA(control, GWL_STYLE) & UDS_HORZ) != 0;
    RECT first = area;
    RECT second = area;
    if (horizontal)
        first.right = second.left = (area.left + area.right) / 2;
    else
        first.bottom = second.top = (area.top + area.bottom) / 2;
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(control, &cursor);
    const bool button_held = GetCapture() == control && GetKeyState(VK_LBUTTON) < 0;
    auto paint_half = [&](const RECT& half, ArrowDirection direction) {
        DrawingState part = state;
        part.mouse_over = state.mouse_over && PtInRect(&half, cursor);
        part.pressed = part.mouse_over && button_held;
        paint_small_face(dc, half, face_look(part), palette);
        draw_arrow(dc, half, direction, arrow_colour(state, palette));
    };
    paint_half(first, horizontal ? ArrowDirection::left : ArrowDirection::up);
    paint_half(second, horizontal ? ArrowDirection::right : ArrowDirection::down);
}

}  // namespace visual_style
