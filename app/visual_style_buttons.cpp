// The looks of the Button class: push buttons, check boxes, radio buttons and group boxes.

#include "app/visual_style_drawing.h"

#include <algorithm>
#include <array>
#include <string>

namespace visual_style {

namespace {

constexpr int mark_size = 13;
constexpr int mark_gap = 4;
constexpr COLORREF hot_ring = RGB(248, 179, 48);
constexpr COLORREF hot_glow = RGB(255, 240, 207);

struct FaceGradient {
    COLORREF top;
    COLORREF bottom;
};

RECT inset(RECT area, int by)
{
    InflateRect(&area, -by, -by);
    return area;
}

bool is_empty(const RECT& area)
{
    return area.right <= area.left || area.bottom <= area.top;
}

LONG style_of(HWND control)
{
    return static_cast<LONG>(GetWindowLongPtrA(control, GWL_STYLE));
}

// By FaceLook: normal, hot, pressed, disabled. The gradients stay light in every
// state, so the dark caption is always readable.
constexpr std::array push_faces{
    FaceGradient{RGB(255, 255, 255), RGB(236, 235, 230)},
    FaceGradient{RGB(255, 255, 255), RGB(240, 240, 234)},
    FaceGradient{RGB(226, 225, 218), RGB(242, 241, 238)},
    FaceGradient{RGB(245, 244, 234), RGB(245, 244, 234)},
};
constexpr std::array mark_faces{
    FaceGradient{RGB(220, 220, 215), RGB(255, 255, 255)},
    FaceGradient{RGB(255, 240, 207), RGB(255, 255, 255)},
    FaceGradient{RGB(176, 176, 167), RGB(250, 250, 245)},
    FaceGradient{RGB(250, 250, 248), RGB(250, 250, 248)},
};

FaceGradient gradient_for(const std::array<FaceGradient, 4>& faces, FaceLook look)
{
    return faces[static_cast<size_t>(look)];
}

COLORREF disabled_outline()
{
    return darkened(GetSysColor(COLOR_BTNFACE), 32);
}

COLORREF outline_colour(const DrawingState& state, const Palette& palette)
{
    return state.disabled ? disabled_outline() : palette.button_outline;
}

UINT horizontal_format(LONG style, UINT otherwise)
{
    switch (style & BS_CENTER) {
    case BS_LEFT: return DT_LEFT;
    case BS_RIGHT: return DT_RIGHT;
    case BS_CENTER: return DT_CENTER;
    default: return otherwise;
    }
}

UINT vertical_format(LONG style)
{
    switch (style & BS_VCENTER) {
    case BS_TOP: return DT_TOP;
    case BS_BOTTOM: return DT_BOTTOM;
    default: return DT_VCENTER;
    }
}

UINT caption_format(LONG style, UINT horizontal_default)
{
    const UINT lines = (style & BS_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE;
    return lines | horizontal_format(style, horizontal_default) | vertical_format(style);
}

COLORREF caption_colour(const DrawingState& state, COLORREF enabled_colour)
{
    return state.disabled ? GetSysColor(COLOR_GRAYTEXT) : enabled_colour;
}

void round_corners(HDC dc, const RECT& outline, COLORREF outline_colour, COLORREF background)
{
    const COLORREF corner = blended(outline_colour, background, 60);
    SetPixelV(dc, outline.left, outline.top, corner);
    SetPixelV(dc, outline.right - 1, outline.top, corner);
    SetPixelV(dc, outline.left, outline.bottom - 1, corner);
    SetPixelV(dc, outline.right - 1, outline.bottom - 1, corner);
}

void draw_face_accent(HDC dc, const RECT& face, COLORREF ring, COLORREF glow)
{
    frame(dc, face, ring);
    frame(dc, inset(face, 1), glow);
}

bool is_default_button(HWND control)
{
    return (style_of(control) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

void draw_tick(HDC dc, const RECT& interior, COLORREF colour)
{
    // Falls for three columns, rises for four; each stroke is three pixels tall.
    constexpr std::array<LONG, 7> rows{4, 5, 6, 5, 4, 3, 2};
    for (size_t column = 0; column < rows.size(); ++column) {
        const LONG x = interior.left + 2 + static_cast<LONG>(column);
        const LONG y = interior.top + rows[column];
        fill(dc, RECT{x, y, x + 1, y + 3}, colour);
    }
}

COLORREF mark_colour(const DrawingState& state, const Palette& palette)
{
    return state.disabled ? GetSysColor(COLOR_GRAYTEXT) : palette.button_outline;
}

void draw_check_mark(HDC dc, const RECT& box, const DrawingState& state, const Palette& palette)
{
    const FaceGradient gradient = gradient_for(mark_faces, face_look(state));
    const RECT interior = inset(box, 1);
    fill_vertical_gradient(dc, interior, gradient.top, gradient.bottom);
    frame(dc, box, outline_colour(state, palette));
    if (state.mouse_over && !state.disabled && !state.pressed)
        frame(dc, interior, hot_ring);
    if (state.check == BST_CHECKED)
        draw_tick(dc, interior, mark_colour(state, palette));
    else if (state.check == BST_INDETERMINATE)
        fill(dc, inset(interior, 3), mark_colour(state, palette));
}

void ellipse(HDC dc, const RECT& area, COLORREF outline, COLORREF inside)
{
    HGDIOBJ previous_pen = SelectObject(dc, GetStockObject(DC_PEN));
    HGDIOBJ previous_brush = SelectObject(dc, GetStockObject(DC_BRUSH));
    const COLORREF previous_pen_colour = SetDCPenColor(dc, outline);
    const COLORREF previous_brush_colour = SetDCBrushColor(dc, inside);
    Ellipse(dc, area.left, area.top, area.right, area.bottom);
    SetDCBrushColor(dc, previous_brush_colour);
    SetDCPenColor(dc, previous_pen_colour);
    SelectObject(dc, previous_brush);
    SelectObject(dc, previous_pen);
}

void draw_radio_mark(HDC dc, const RECT& box, const DrawingState& state, const Palette& palette)
{
    const FaceGradient gradient = gradient_for(mark_faces, face_look(state));
    ellipse(dc, box, outline_colour(state, palette), blended(gradient.top, gradient.bottom, 50));
    if (state.mouse_over && !state.disabled && !state.pressed)
        ellipse(dc, inset(box, 1), hot_ring, hot_glow);
    if (state.check == BST_CHECKED)
        ellipse(dc, inset(box, 4), mark_colour(state, palette), mark_colour(state, palette));
}

using MarkPainter = void (*)(HDC, const RECT&, const DrawingState&, const Palette&);

void paint_mark_button(HDC dc, const RECT& area, HWND control, const DrawingState& state, const Palette& palette,
                       MarkPainter draw_mark)
{
    const HBRUSH background = parent_background(control, dc);
    const COLORREF text_colour = GetTextColor(dc);
    FillRect(dc, &area, background);
    const LONG style = style_of(control);
    const bool mark_on_right = (style & BS_RIGHTBUTTON) != 0;
    const LONG mark_top = area.top + (area.bottom - area.top - mark_size) / 2;
    const LONG mark_left = mark_on_right ? area.right - mark_size : area.left;
    draw_mark(dc, RECT{mark_left, mark_top, mark_left + mark_size, mark_top + mark_size}, state, palette);

    RECT text = area;
    if (mark_on_right)
        text.right -= mark_size + mark_gap;
    else
        text.left += mark_size + mark_gap;
    draw_caption(dc, control, text, caption_format(style, DT_LEFT), caption_colour(state, text_colour));
    if (state.focused && shows_focus_cues(control))
        DrawFocusRect(dc, &text);
}

}  // namespace

void paint_push_button(HDC dc, const RECT& area, HWND control, const DrawingState& state, const Palette& palette)
{
    const COLORREF button_face = GetSysColor(COLOR_BTNFACE);
    fill(dc, area, button_face);
    const RECT outline = inset(area, 1);
    const RECT face = inset(outline, 1);
    if (is_empty(face))
        return;
    const bool sunk = state.pressed || state.check == BST_CHECKED;
    DrawingState look_state = state;
    look_state.pressed = sunk;
    const FaceLook look = face_look(look_state);
    const FaceGradient gradient = gradient_for(push_faces, look);
    fill_vertical_gradient(dc, face, gradient.top, gradient.bottom);
    frame(dc, outline, outline_colour(state, palette));
    round_corners(dc, outline, outline_colour(state, palette), button_face);
    if (look == FaceLook::hot)
        draw_face_accent(dc, face, hot_ring, hot_glow);
    else if (look == FaceLook::normal && (state.focused || is_default_button(control)))
        draw_face_accent(dc, face, palette.focus_ring, palette.focus_glow);

    RECT text = inset(face, 2);
    if (sunk)
        OffsetRect(&text, 1, 1);
    draw_caption(dc, control, text, caption_format(style_of(control), DT_CENTER),
                 caption_colour(state, GetSysColor(COLOR_BTNTEXT)));
    if (state.focused && shows_focus_cues(control)) {
        RECT focus = inset(face, 2);
        DrawFocusRect(dc, &focus);
    }
}

void paint_check_box(HDC dc, const RECT& area, HWND control, const DrawingState& state, const Palette& palette)
{
    paint_mark_button(dc, area, control, state, palette, draw_check_mark);
}

void paint_radio_button(HDC dc, const RECT& area, HWND control, const DrawingState& state, const Palette& palette)
{
    paint_mark_button(dc, area, control, state, palette, draw_radio_mark);
}

// Draws straight onto the screen: a group box has no face of its own, and filling
// its inside would paint over the controls it groups.
void paint_group_box(HDC dc, HWND control, const DrawingState& state, const Palette& palette)
{
    RECT area;
    GetClientRect(control, &area);
    const HBRUSH background = parent_background(control, dc);
    SaveDC(dc);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    RECT caption{area.left + 7, area.top, area.right - 7, area.top + metrics.tmHeight};
    const int text_length = GetWindowTextLengthA(control);
    if (text_length > 0) {
        SIZE extent{};
        std::string text(static_cast<size_t>(text_length), '\0');
        GetWindowTextA(control, text.data(), text_length + 1);
        GetTextExtentPoint32A(dc, text.c_str(), text_length, &extent);
        caption.right = std::min<LONG>(caption.right, caption.left + extent.cx + 4);
        FillRect(dc, &caption, background);
        ExcludeClipRect(dc, caption.left, caption.top, caption.right, caption.bottom);
    }
    const RECT line{area.left, area.top + metrics.tmHeight / 2, area.right, area.bottom};
    const COLORREF line_colour = state.disabled ? disabled_outline() : palette.field_frame;
    frame(dc, line, line_colour);
    round_corners(dc, line, line_colour, GetSysColor(COLOR_BTNFACE));
    RestoreDC(dc, -1);
    if (text_length > 0) {
        caption.left += 2;
        draw_caption(dc, control, caption, DT_LEFT | DT_TOP | DT_SINGLELINE,
                     caption_colour(state, palette.button_outline));
    }
}

}  // namespace visual_style
