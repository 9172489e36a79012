#include "conversion/process_events.h"

#include <windows.h>

void process_events()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (message.message == WM_QUIT)
            return;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            return;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
