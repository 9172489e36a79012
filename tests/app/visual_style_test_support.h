#pragma once
// Reading back what the skin painted, for the tests of the visual-style layer.
#include <windows.h>

#include <vector>

inline void process_messages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Window coordinates: (0, 0) is the control's outer top-left pixel.
inline COLORREF pixel(HWND window, int x, int y)
{
    HDC dc = GetWindowDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// The pixels of a control, leaving out those where `cover` (a control lying on
// top of it) shows through.
inline std::vector<COLORREF> own_pixels(HWND window, HWND cover = nullptr)
{
    RECT area;
    GetWindowRect(window, &area);
    RECT covered{};
    if (cover != nullptr)
        GetWindowRect(cover, &covered);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < area.bottom - area.top; ++y)
        for (int x = 0; x < area.right - area.left; ++x)
            if (!PtInRect(&covered, POINT{area.left + x, area.top + y}))
                pixels.push_back(pixel(window, x, y));
    return pixels;
}

inline void repaint(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    process_messages();
}
