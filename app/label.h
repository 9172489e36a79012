#pragma once
// The window's captions are painted by the application itself rather than by the
// system's STATIC control, so that colour, font and transparency are exactly ours.
#include <windows.h>

struct label_style {
    COLORREF text_colour;
    bool fills_background;  // false: the parent shows through around the text
};

class label_control {
public:
    explicit label_control(label_style style) : style_(style) {}
    label_control(const label_control&) = delete;
    label_control& operator=(const label_control&) = delete;

    static void register_class(HINSTANCE instance);
    bool create(HWND parent, const char* text, RECT place, DWORD extended_style, HFONT font);
    HWND handle() const { return window_; }

private:
    template <typename Owner>
    friend LRESULT CALLBACK routed_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
    void paint();
    LRESULT caption_changed(WPARAM wparam, LPARAM lparam);

    label_style style_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
};
