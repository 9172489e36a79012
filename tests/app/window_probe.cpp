// Test helper: looks at and drives the running program's window from outside.
//
//   window_probe edit-text            prints the text of the path field
//   window_probe caption              prints the window's caption
//   window_probe click CAPTION        presses the window's button of that caption
//   window_probe focus-edit           puts the caret into the path field
//   window_probe drop PATH...         drops the files on the window, as Explorer does
//   window_probe dialog-file-name     prints the file-name field of the open-file dialog
//   window_probe message-text         prints the text of the message box
//   window_probe close-dialog         cancels the dialog or closes the message box
//   window_probe close                closes the window, as its close box does
//
// The dialog and message box commands wait up to ten seconds (none with a last
// argument --no-wait) for such a window of the program's thread: a dialog of
// class #32770.
//
// A drop's memory block must belong to the receiving process, so "drop" has
// drop_hook.dll (beside this program) make the block inside the program and
// post WM_DROPFILES there; the paths travel through a named file mapping.
//
// Texts are printed as the window holds them (code page 936 bytes), without
// a line end. Exit status 1 when the window is not there, 3 when a drop did
// not arrive.
#include <windows.h>

#include <shlobj.h>

#include "tests/app/drop_hook.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char main_window_class[] = "VelmoraMainWindow";

HWND main_window()
{
    for (int tries = 0; tries < 100; ++tries) {
        if (HWND window = FindWindowA(main_window_class, nullptr))
            return window;
        Sleep(50);
    }
    return nullptr;
}

struct dialog_search {
    DWORD thread;
    HWND found;
};

BOOL CALLBACK match_dialog(HWND window, LPARAM search_address)
{
    auto* search = reinterpret_cast<dialog_search*>(search_address);
    char class_name[16];
    GetClassNameA(window, class_name, sizeof class_name);
    if (GetWindowThreadProcessId(window, nullptr) != search->thread || std::strcmp(class_name, "#32770") != 0
        || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND dialog_of(HWND main, int tries_left)
{
    dialog_search search{GetWindowThreadProcessId(main, nullptr), nullptr};
    for (; tries_left > 0 && search.found == nullptr; --tries_left) {
        EnumWindows(match_dialog, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr)
            Sleep(50);
    }
    return search.found;
}

// The Explorer-style dialog's file-name field: a combo box with an edit inside,
// or a plain edit in older layouts.
HWND file_name_field(HWND dialog)
{
    constexpr int file_name_combo_id = 0x47c;
    constexpr int file_name_edit_id = 0x480;
    if (HWND combo = GetDlgItem(dialog, file_name_combo_id))
        return combo;
    return GetDlgItem(dialog, file_name_edit_id);
}

constexpr int message_text_id = 0xffff;

std::string text_of(HWND window)
{
    const auto length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

void print(const std::string& text)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The block Explorer hands over: a DROPFILES header, then each path ended by
// a zero byte, and one more zero byte at the end.
std::string drop_block(const std::vector<std::string>& paths)
{
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = FALSE;
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    for (const std::string& path : paths)
        block += path + '\0';
    return block + '\0';
}

bool drop(HWND window, const std::vector<std::string>& paths)
{
    const std::string block = drop_block(paths);
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        static_cast<DWORD>(sizeof(drop_request) + block.size()), drop_mapping_name);
    auto* request = static_cast<drop_request*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    request->size = static_cast<DWORD>(block.size());
    std::memcpy(request + 1, block.data(), block.size());

    char helper[MAX_PATH];
    GetModuleFileNameA(nullptr, helper, MAX_PATH);
    std::strcpy(std::strrchr(helper, '\\') + 1, "drop_hook.dll");
    HMODULE hook_module = LoadLibraryA(helper);
    auto hook_procedure = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hook_module, "drop_hook")));
    HHOOK hook
        = SetWindowsHookExA(WH_GETMESSAGE, hook_procedure, hook_module, GetWindowThreadProcessId(window, nullptr));
    PostMessageA(window, RegisterWindowMessageA(drop_message_name), 0, 0);
    for (int tries = 0; tries < 200 && !request->delivered; ++tries)
        Sleep(25);
    const bool delivered = request->delivered;
    UnhookWindowsHookEx(hook);
    UnmapViewOfFile(request);
    CloseHandle(mapping);
    return delivered;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    HWND window = main_window();
    if (window == nullptr)
        return 1;
    const std::string command = argv[1];
    if (command == "edit-text") {
        print(text_of(FindWindowExA(window, nullptr, "EDIT", nullptr)));
    } else if (command == "caption") {
        print(text_of(window));
    } else if (command == "focus-edit") {
        // Focus is a thread's own business; joining its input state lets us set it.
        const DWORD window_thread = GetWindowThreadProcessId(window, nullptr);
        AttachThreadInput(GetCurrentThreadId(), window_thread, TRUE);
        SetFocus(FindWindowExA(window, nullptr, "EDIT", nullptr));
        AttachThreadInput(GetCurrentThreadId(), window_thread, FALSE);
    } else if (command == "close") {
        PostMessageA(window, WM_CLOSE, 0, 0);
    } else if (command == "click" && argc == 3) {
        HWND button = FindWindowExA(window, nullptr, "BUTTON", argv[2]);
        if (button == nullptr)
            return 1;
        // Posted: the click's handler may open a modal dialog and not return for long.
        PostMessageA(button, BM_CLICK, 0, 0);
    } else if (command == "dialog-file-name" || command == "message-text" || command == "close-dialog") {
        const bool wait = !(argc == 3 && std::strcmp(argv[2], "--no-wait") == 0);
        HWND dialog = dialog_of(window, wait ? 200 : 1);
        if (dialog == nullptr)
            return 1;
        if (command == "dialog-file-name")
            print(text_of(file_name_field(dialog)));
        else if (command == "message-text")
            print(text_of(GetDlgItem(dialog, message_text_id)));
        else
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    } else if (command == "drop") {
        if (!drop(window, std::vector<std::string>(argv + 2, argv + argc)))
            return 3;
    } else {
        return 2;
    }
    return 0;
}
