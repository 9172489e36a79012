#pragma once
// The classic Win32 "base window": the object that creates a window hands itself over in
// CREATESTRUCT, and every later message finds it again through GWLP_USERDATA. The owner
// keeps its handle in `window_`, answers in `handle_message`, and befriends this function.
#include <windows.h>

template <typename Owner>
LRESULT CALLBACK routed_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcA(window, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        // Messages after this one must not reach an object that may already be gone.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return DefWindowProcA(window, message, wparam, lparam);
    }
    return self->handle_message(message, wparam, lparam);
}
