#pragma once

// Shared by the parts of the visual-style layer: what a restyled control is, the
// state it is drawn in, the colours of a scheme and the painters of each kind.

#include <windows.h>

#include <cstdint>

namespace visual_style {

enum class ControlKind { push_button, check_box, radio_button, group_box, edit_box, combo_box, combo_list, up_down };

struct DrawingState {
    bool disabled = false;
    bool read_only = false;
    bool focused = false;
    UINT check = BST_UNCHECKED;  // ticked check box, selected radio button, or BST_INDETERMINATE
    bool pressed = false;
    bool mouse_over = false;
};

struct Palette {
    COLORREF field_frame;     // edit boxes and drop-down lists
    COLORREF button_outline;  // push buttons, and the marks of check boxes and radio buttons
    COLORREF focus_ring;      // inside the outline of a focused or default push button
    COLORREF focus_glow;
};

// Any scheme other than 1 or 3 gets the colours of scheme 2.
Palette palette_of(std::int32_t scheme);

COLORREF darkened(COLORREF colour, int amount);
COLORREF blended(COLORREF from, COLORREF to, int percent_of_to);

void fill(HDC dc, const RECT& area, COLORREF colour);
void frame(HDC dc, const RECT& area, COLORREF colour);
void fill_vertical_gradient(HDC dc, const RECT& area, COLORREF top, COLORREF bottom);

enum class FaceLook { normal, hot, pressed, disabled };
FaceLook face_look(const DrawingState& state);
// A small button face (drop-down button, up-down arrows): gradient and outline.
void paint_small_face(HDC dc, const RECT& area, FaceLook look, const Palette& palette);
enum class ArrowDirection { up, down, left, right };
void draw_arrow(HDC dc, const RECT& area, ArrowDirection direction, COLORREF colour);

// The background a control's parent asks for behind static-like buttons; sets the
// text colour of dc as the parent wants it.
HBRUSH parent_background(HWND control, HDC dc);
// Draws the caption of a button-like control in its own font; `format` holds the
// DT_ alignment flags.
void draw_caption(HDC dc, HWND control, RECT area, UINT format, COLORREF colour);
bool shows_focus_cues(HWND control);

// Paints through an off-screen bitmap so the control never shows half-drawn. With
// print_dc (WM_PRINTCLIENT) it draws straight into that device context instead.
template <typename Painter>
void paint_buffered(HWND control, HDC print_dc, Painter&& paint);

void paint_push_button(HDC dc, const RECT& area, HWND control, const DrawingState& state, const Palette& palette);
void paint_check_box(HDC dc, const RECT& area, HWND control, const DrawingState& state, const Palette& palette);
void paint_radio_button(HDC dc, const RECT& area, HWND control, const DrawingState& state, const Palette& palette);
void paint_group_box(HDC dc, HWND control, const DrawingState& state, const Palette& palette);
// Edit boxes and drop-down lists: drawn over the frame the control painted itself.
bool edit_has_frame(HWND edit);
void paint_field_frame(HWND control, const DrawingState& state, const Palette& palette, bool with_inner_frame);
void paint_combo_overlay(HDC dc, HWND combo, const DrawingState& state, const Palette& palette);
void paint_up_down(HDC dc, const RECT& area, HWND control, const DrawingState& state, const Palette& palette);

void copy_to_screen_except_children(HDC screen, HDC buffer, HWND control, const RECT& area);

template <typename Painter>
void paint_buffered(HWND control, HDC print_dc, Painter&& paint)
{
    RECT area;
    GetClientRect(control, &area);
    if (print_dc != nullptr) {
        paint(print_dc, area);
        return;
    }
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(control, &ps);
    HDC buffer = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, area.right > 0 ? area.right : 1, area.bottom > 0 ? area.bottom : 1);
    HGDIOBJ previous_bitmap = SelectObject(buffer, bitmap);
    paint(buffer, area);
    copy_to_screen_except_children(screen, buffer, control, area);
    SelectObject(buffer, previous_bitmap);
    DeleteObject(bitmap);
    DeleteDC(buffer);
    EndPaint(control, &ps);
}

}  // namespace visual_style
