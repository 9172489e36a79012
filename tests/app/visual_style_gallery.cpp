// Test window for looking at the skin: every restyled kind of control in its
// states, beside a progress bar and a label that keep their own look.
//
//   visual_style_gallery [scheme] [message|open]
//
// Shows the window with the skin of that scheme (default 2; 0 shows it
// unstyled) and, with "message" or "open", a message box or the open-file
// dialog in front of it. It ends when its window is closed.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <cstdlib>
#include <string>

#include "app/visual_style.h"

namespace {

LRESULT CALLBACK gallery_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND add(HWND parent, const char* class_name, const char* text, DWORD style, int x, int y, int width, int height,
         DWORD extended_style = 0)
{
    HWND control = CreateWindowExA(extended_style, class_name, text, WS_CHILD | WS_VISIBLE | style, x, y, width,
                                   height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

void add_buttons(HWND window)
{
    add(window, "BUTTON", "普通", BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE | WS_TABSTOP, 10, 10, 71, 24);
    add(window, "BUTTON", "默认", BS_DEFPUSHBUTTON, 90, 10, 71, 24);
    HWND pressed = add(window, "BUTTON", "按下", BS_PUSHBUTTON, 170, 10, 71, 24);
    SendMessageA(pressed, BM_SETSTATE, TRUE, 0);
    EnableWindow(add(window, "BUTTON", "禁用", BS_PUSHBUTTON, 250, 10, 71, 24), FALSE);

    HWND group = add(window, "BUTTON", "选项", BS_GROUPBOX, 10, 44, 230, 96);
    (void)group;
    HWND ticked = add(window, "BUTTON", "勾选", BS_AUTOCHECKBOX, 20, 62, 100, 20);
    SendMessageA(ticked, BM_SETCHECK, BST_CHECKED, 0);
    add(window, "BUTTON", "未勾选", BS_AUTOCHECKBOX, 20, 84, 100, 20);
    HWND mixed = add(window, "BUTTON", "不确定", BS_AUTO3STATE, 20, 106, 100, 20);
    SendMessageA(mixed, BM_SETCHECK, BST_INDETERMINATE, 0);
    HWND chosen = add(window, "BUTTON", "单选一", BS_AUTORADIOBUTTON | WS_GROUP, 130, 62, 100, 20);
    SendMessageA(chosen, BM_SETCHECK, BST_CHECKED, 0);
    add(window, "BUTTON", "单选二", BS_AUTORADIOBUTTON, 130, 84, 100, 20);
    EnableWindow(add(window, "BUTTON", "禁用", BS_AUTOCHECKBOX, 130, 106, 100, 20), FALSE);
}

void add_fields(HWND window)
{
    add(window, "EDIT", "C:\\voice\\msg.silk", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 250, 50, 204, 24);
    add(window, "EDIT", "只读", WS_BORDER | ES_AUTOHSCROLL | ES_READONLY, 250, 80, 204, 24);
    EnableWindow(add(window, "EDIT", "禁用", WS_BORDER | ES_AUTOHSCROLL, 250, 110, 204, 24), FALSE);
    add(window, "EDIT", "立体边框", ES_AUTOHSCROLL, 250, 140, 204, 24, WS_EX_CLIENTEDGE);

    HWND list = add(window, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL, 10, 150, 110, 120);
    for (const char* item : {"MP3", "PCM", "SILK"})
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(list, CB_SETCURSEL, 0, 0);
    HWND editable = add(window, "COMBOBOX", "12000", CBS_DROPDOWN, 130, 150, 110, 120);
    SendMessageA(editable, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("24000"));

    HWND buddy = add(window, "EDIT", "5", WS_BORDER | ES_NUMBER, 10, 180, 60, 22);
    HWND up_down = add(window, UPDOWN_CLASSA, "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0, 0, 0);
    SendMessageA(up_down, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessageA(up_down, UDM_SETRANGE32, 0, 100);
}

void add_unstyled(HWND window)
{
    HWND bar = add(window, PROGRESS_CLASSA, "", PBS_SMOOTH, 90, 210, 352, 16, WS_EX_STATICEDGE);
    SendMessageA(bar, PBM_SETRANGE32, 0, 100);
    SendMessageA(bar, PBM_SETPOS, 60, 0);
    add(window, "STATIC", "进度：", SS_LEFT, 10, 210, 70, 20);
}

void show_requested_dialog(const std::string& dialog)
{
    if (dialog == "message") {
        MessageBoxA(nullptr, "转换完成         【示例】", "系统提示         ", MB_OK | MB_ICONHAND | MB_TASKMODAL);
    } else if (dialog == "open") {
        char file_name[MAX_PATH]{};
        OPENFILENAMEA open{};
        open.lStructSize = sizeof open;
        open.lpstrFile = file_name;
        open.nMaxFile = sizeof file_name;
        open.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
        GetOpenFileNameA(&open);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int scheme = argc > 1 ? std::atoi(argv[1]) : 2;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = gallery_procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    window_class.lpszClassName = "VisualStyleGallery";
    RegisterClassA(&window_class);
    HWND window = CreateWindowExA(0, "VisualStyleGallery", "Gallery", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 20, 20,
                                  480, 280, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    add_buttons(window);
    add_fields(window);
    add_unstyled(window);
    set_visual_style(scheme);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    if (argc > 2)
        show_requested_dialog(argv[2]);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
