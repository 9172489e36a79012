// The visual-style layer: which windows it restyles, the thread hook that catches
// new ones, and the subclass procedure that paints them and hands every other
// message on to the control's own window procedure.

#include "app/visual_style.h"

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/visual_style_drawing.h"

namespace {

using visual_style::ControlKind;
using visual_style::DrawingState;

struct RestyledControl {
    WNDPROC original;
    ControlKind kind;
    bool unicode;  // subclassed through the wide-character calls, so texts are never narrowed
    DrawingState state{};
    // False once the layer is off while another subclass sits above ours: we can
    // then only pass messages on until the window goes.
    bool active = true;
};

struct ThreadLayer {
    std::int32_t scheme = 0;
    HHOOK hook = nullptr;
    // Node-based, so an entry stays put while a forwarded message restyles new windows.
    std::unordered_map<HWND, RestyledControl> controls;
};

thread_local ThreadLayer layer;

LRESULT CALLBACK restyled_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

bool is_scheme(std::int32_t scheme)
{
    return scheme >= 1 && scheme <= 3;
}

bool has_class(HWND window, const char* name)
{
    char class_name[64]{};
    GetClassNameA(window, class_name, sizeof class_name);
    return lstrcmpiA(class_name, name) == 0;
}

std::optional<ControlKind> button_kind(LONG_PTR style)
{
    if ((style & (BS_BITMAP | BS_ICON)) != 0)
        return std::nullopt;
    const bool push_like = (style & BS_PUSHLIKE) != 0;
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return ControlKind::push_button;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return push_like ? ControlKind::push_button : ControlKind::check_box;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return push_like ? ControlKind::push_button : ControlKind::radio_button;
    case BS_GROUPBOX:
        return ControlKind::group_box;
    default:
        return std::nullopt;  // owner-drawn, user, split and command-link buttons draw themselves
    }
}

std::optional<ControlKind> kind_of(HWND window)
{
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if (has_class(window, "Button"))
        return button_kind(style);
    if (has_class(window, "Edit")) {
        HWND parent = GetParent(window);
        if (parent != nullptr && has_class(parent, WC_IPADDRESSA))
            return std::nullopt;
        return ControlKind::edit_box;
    }
    if (has_class(window, "ComboBox"))
        return (style & 3) == CBS_SIMPLE ? std::nullopt : std::optional{ControlKind::combo_box};
    if (has_class(window, "ComboLBox")) {
        // A drop-down list hangs off the desktop; a simple combo box keeps its list inside.
        if (GetAncestor(window, GA_PARENT) != GetDesktopWindow())
            return std::nullopt;
        return ControlKind::combo_list;
    }
    if (has_class(window, UPDOWN_CLASSA))
        return ControlKind::up_down;
    return std::nullopt;
}

RestyledControl* find_control(HWND window)
{
    auto found = layer.controls.find(window);
    return found != layer.controls.end() ? &found->second : nullptr;
}

LRESULT call_procedure(WNDPROC procedure, bool unicode, HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return unicode ? CallWindowProcW(procedure, window, message, wparam, lparam)
                   : CallWindowProcA(procedure, window, message, wparam, lparam);
}

// Looks the control up afresh: a forwarded message may have destroyed it.
LRESULT forward(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    const RestyledControl* control = find_control(window);
    if (control == nullptr)
        return DefWindowProcA(window, message, wparam, lparam);
    return call_procedure(control->original, control->unicode, window, message, wparam, lparam);
}

LONG_PTR our_procedure()
{
    return reinterpret_cast<LONG_PTR>(restyled_procedure);
}

bool ours_is_outermost(HWND window, bool unicode)
{
    const LONG_PTR current =
        unicode ? GetWindowLongPtrW(window, GWLP_WNDPROC) : GetWindowLongPtrA(window, GWLP_WNDPROC);
    return current == our_procedure();
}

void restore_procedure(HWND window, const RestyledControl& control)
{
    const auto original = reinterpret_cast<LONG_PTR>(control.original);
    if (control.unicode)
        SetWindowLongPtrW(window, GWLP_WNDPROC, original);
    else
        SetWindowLongPtrA(window, GWLP_WNDPROC, original);
}

void redraw_entirely(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

void restyle(HWND window)
{
    if (RestyledControl* known = find_control(window)) {
        known->active = true;
        redraw_entirely(window);
        return;
    }
    const std::optional<ControlKind> kind = kind_of(window);
    if (!kind)
        return;
    const bool unicode = IsWindowUnicode(window) != FALSE;
    const LONG_PTR previous = unicode ? SetWindowLongPtrW(window, GWLP_WNDPROC, our_procedure())
                                      : SetWindowLongPtrA(window, GWLP_WNDPROC, our_procedure());
    if (previous == 0)
        return;
    layer.controls.emplace(window, RestyledControl{reinterpret_cast<WNDPROC>(previous), *kind, unicode});
    redraw_entirely(window);
}

BOOL CALLBACK restyle_child(HWND window, LPARAM)
{
    restyle(window);
    return TRUE;
}

BOOL CALLBACK restyle_with_children(HWND window, LPARAM)
{
    restyle(window);
    EnumChildWindows(window, restyle_child, 0);  // reaches every descendant, not only the direct children
    return TRUE;
}

LRESULT CALLBACK watch_creation(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HC_ACTION) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
        if (message->message == WM_CREATE)
            restyle(message->hwnd);
    }
    return CallNextHookEx(layer.hook, code, wparam, lparam);
}

std::int32_t switch_off()
{
    std::vector<HWND> released;
    for (auto& [window, control] : layer.controls) {
        if (ours_is_outermost(window, control.unicode)) {
            restore_procedure(window, control);
            released.push_back(window);
        } else {
            control.active = false;
        }
    }
    for (HWND window : released) {
        layer.controls.erase(window);
        redraw_entirely(window);
    }
    if (layer.hook == nullptr)
        return 0;
    const BOOL removed = UnhookWindowsHookEx(layer.hook);
    layer.hook = nullptr;
    return removed;
}

LRESULT forget_and_forward(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    const RestyledControl control = layer.controls.at(window);
    if (ours_is_outermost(window, control.unicode))
        restore_procedure(window, control);
    layer.controls.erase(window);
    return call_procedure(control.original, control.unicode, window, message, wparam, lparam);
}

// --- Drawing state -------------------------------------------------------

bool is_button_kind(ControlKind kind)
{
    return kind == ControlKind::push_button || kind == ControlKind::check_box || kind == ControlKind::radio_button
        || kind == ControlKind::group_box;
}

bool shows_mouse_over(ControlKind kind)
{
    return kind == ControlKind::push_button || kind == ControlKind::check_box || kind == ControlKind::radio_button
        || kind == ControlKind::combo_box || kind == ControlKind::up_down;
}

void refresh_state(HWND window, RestyledControl& control)
{
    DrawingState& state = control.state;
    state.disabled = IsWindowEnabled(window) == FALSE;
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    state.read_only = control.kind == ControlKind::edit_box && (style & ES_READONLY) != 0;
    HWND focus = GetFocus();
    state.focused = focus == window || (focus != nullptr && IsChild(window, focus));
    if (is_button_kind(control.kind)) {
        const LRESULT button_state = call_procedure(control.original, control.unicode, window, BM_GETSTATE, 0, 0);
        state.pressed = (button_state & BST_PUSHED) != 0;
        state.check = static_cast<UINT>(button_state & (BST_CHECKED | BST_INDETERMINATE));
    } else if (control.kind == ControlKind::combo_box) {
        state.pressed = call_procedure(control.original, control.unicode, window, CB_GETDROPPEDSTATE, 0, 0) != 0;
    }
}

// The state to paint by, read just before painting so it can never be stale.
DrawingState current_state(HWND window)
{
    RestyledControl* control = find_control(window);
    if (control == nullptr)
        return {};
    refresh_state(window, *control);
    return control->state;
}

void note_mouse_over(HWND window, RestyledControl& control)
{
    // Asked on every move: the control itself may have cancelled our request.
    TRACKMOUSEEVENT request{sizeof request, TME_LEAVE, window, 0};
    if (!_TrackMouseEvent(&request) || control.state.mouse_over)
        return;
    control.state.mouse_over = true;
    InvalidateRect(window, nullptr, FALSE);
}

void note_mouse_gone(HWND window, RestyledControl& control)
{
    if (!control.state.mouse_over)
        return;
    control.state.mouse_over = false;
    InvalidateRect(window, nullptr, FALSE);
}

// --- Painting by kind ----------------------------------------------------

using FacePainter = void (*)(HDC, const RECT&, HWND, const DrawingState&, const visual_style::Palette&);

FacePainter face_painter(ControlKind kind)
{
    switch (kind) {
    case ControlKind::check_box:
        return visual_style::paint_check_box;
    case ControlKind::radio_button:
        return visual_style::paint_radio_button;
    case ControlKind::up_down:
        return visual_style::paint_up_down;
    default:
        return visual_style::paint_push_button;
    }
}

LRESULT paint_face(HWND window, ControlKind kind, HDC print_dc)
{
    const DrawingState state = current_state(window);
    const visual_style::Palette palette = visual_style::palette_of(layer.scheme);
    const FacePainter paint = face_painter(kind);
    visual_style::paint_buffered(window, print_dc,
                                 [&](HDC dc, const RECT& area) { paint(dc, area, window, state, palette); });
    return 0;
}

LRESULT paint_group(HWND window, HDC print_dc)
{
    const DrawingState state = current_state(window);
    const visual_style::Palette palette = visual_style::palette_of(layer.scheme);
    if (print_dc != nullptr) {
        visual_style::paint_group_box(print_dc, window, state, palette);
        return 0;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    visual_style::paint_group_box(dc, window, state, palette);
    EndPaint(window, &ps);
    return 0;
}

bool button_paints_at_once(UINT message)
{
    switch (message) {
    case BM_SETSTATE:
    case BM_SETCHECK:
    case BM_SETSTYLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
        return true;
    default:
        return false;
    }
}

// The Button class draws itself straight onto the screen on these messages; with
// drawing switched off meanwhile, only our face ever reaches the screen.
LRESULT forward_unpainted(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    const bool visible = (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible)
        forward(window, WM_SETREDRAW, FALSE, 0);
    const LRESULT result = forward(window, message, wparam, lparam);
    if (visible && find_control(window) != nullptr) {
        forward(window, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    return result;
}

LRESULT button_message(HWND window, ControlKind kind, UINT message, WPARAM wparam, LPARAM lparam)
{
    const bool group = kind == ControlKind::group_box;
    switch (message) {
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        HDC print_dc = message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wparam) : nullptr;
        return group ? paint_group(window, print_dc) : paint_face(window, kind, print_dc);
    }
    case WM_ERASEBKGND:
        if (!group)
            return 1;  // the face covers everything
        break;
    default:
        if (button_paints_at_once(message))
            return forward_unpainted(window, message, wparam, lparam);
    }
    return forward(window, message, wparam, lparam);
}

void frame_field(HWND window, bool with_inner_frame)
{
    const DrawingState state = current_state(window);
    visual_style::paint_field_frame(window, state, visual_style::palette_of(layer.scheme), with_inner_frame);
}

LRESULT edit_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    const LRESULT result = forward(window, message, wparam, lparam);
    if (find_control(window) == nullptr)
        return result;
    switch (message) {
    case WM_NCPAINT:
    case WM_PAINT:
        // Some systems draw the border inside the client area during WM_PAINT.
        if (visual_style::edit_has_frame(window))
            frame_field(window, true);
        break;
    case WM_ENABLE:
    case EM_SETREADONLY:
    case WM_STYLECHANGED:
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        break;
    default:
        break;
    }
    return result;
}

LRESULT list_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    const LRESULT result = forward(window, message, wparam, lparam);
    if (message == WM_NCPAINT && find_control(window) != nullptr)
        frame_field(window, false);
    return result;
}

LRESULT combo_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != WM_PAINT && message != WM_PRINTCLIENT)
        return forward(window, message, wparam, lparam);
    const DrawingState state = current_state(window);
    const visual_style::Palette palette = visual_style::palette_of(layer.scheme);
    HDC print_dc = message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wparam) : nullptr;
    // The combo box paints its text and list item itself, into our buffer.
    visual_style::paint_buffered(window, print_dc, [&](HDC dc, const RECT&) {
        forward(window, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        visual_style::paint_combo_overlay(dc, window, state, palette);
    });
    return 0;
}

LRESULT up_down_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
        return paint_face(window, ControlKind::up_down,
                          message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wparam) : nullptr);
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_ENABLE: {
        // Which arrow is hot or pressed follows the cursor.
        const LRESULT result = forward(window, message, wparam, lparam);
        InvalidateRect(window, nullptr, FALSE);
        return result;
    }
    default:
        return forward(window, message, wparam, lparam);
    }
}

// Installed through the ANSI or the wide-character call to match the window, so
// every message reaches the control in the character set it expects.
LRESULT CALLBACK restyled_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    RestyledControl* control = find_control(window);
    if (control == nullptr)
        return DefWindowProcA(window, message, wparam, lparam);
    if (message == WM_NCDESTROY)
        return forget_and_forward(window, message, wparam, lparam);
    if (!control->active)
        return forward(window, message, wparam, lparam);
    if (shows_mouse_over(control->kind)) {
        if (message == WM_MOUSEMOVE)
            note_mouse_over(window, *control);
        else if (message == WM_MOUSELEAVE)
            note_mouse_gone(window, *control);
    }
    switch (control->kind) {
    case ControlKind::edit_box:
        return edit_message(window, message, wparam, lparam);
    case ControlKind::combo_box:
        return combo_message(window, message, wparam, lparam);
    case ControlKind::combo_list:
        return list_message(window, message, wparam, lparam);
    case ControlKind::up_down:
        return up_down_message(window, message, wparam, lparam);
    default:
        return button_message(window, control->kind, message, wparam, lparam);
    }
}

}  // namespace

std::int32_t set_visual_style(std::int32_t scheme)
{
    layer.scheme = scheme;
    // Whatever is in force goes first, an earlier hook included, so switching on
    // twice never leaves two hooks behind.
    const std::int32_t removed = switch_off();
    if (!is_scheme(scheme))
        return removed;
    EnumThreadWindows(GetCurrentThreadId(), restyle_with_children, 0);
    layer.hook = SetWindowsHookExA(WH_CALLWNDPROC, watch_creation, nullptr, GetCurrentThreadId());
    return layer.hook != nullptr ? 1 : 0;
}
