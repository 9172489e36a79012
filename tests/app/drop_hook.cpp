// Test helper loaded into the program under test by a message hook: turns the
// probe's drop request into a WM_DROPFILES whose block the program owns.
#include <windows.h>

#include <cstring>

#include "tests/app/drop_hook.h"

namespace {

void deliver_drop(HWND window)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, drop_mapping_name);
    if (mapping == nullptr)
        return;
    auto* request = static_cast<drop_request*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, request->size);
    std::memcpy(GlobalLock(block), request + 1, request->size);
    GlobalUnlock(block);
    PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
    InterlockedExchange(&request->delivered, 1);
    UnmapViewOfFile(request);
    CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK drop_hook(int code, WPARAM wparam, LPARAM lparam)
{
    static const UINT drop_message = RegisterWindowMessageA(drop_message_name);
    auto* message = reinterpret_cast<MSG*>(lparam);
    if (code == HC_ACTION && wparam == PM_REMOVE && message->message == drop_message) {
        deliver_drop(message->hwnd);
        message->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
