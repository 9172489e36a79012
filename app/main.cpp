// Start-up and shutdown: the process runs from its own folder, shows the window
// and serves its messages until it is closed.
#include <windows.h>
#include <ole2.h>

#include "app/main_window.h"
#include "conversion/file_operations.h"

namespace {
int run_message_loop(main_window& window)
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (window.handle_keyboard(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    OleInitialize(nullptr);
    SetCurrentDirectoryA((run_directory() + "\\").c_str());
    int exit_code;
    {
        main_window window;
        if (!window.create(instance))
            fatal_window_error("启动窗口载入失败，程序将结束。");
        exit_code = run_message_loop(window);
    }
    OleUninitialize();
    return exit_code;
}
