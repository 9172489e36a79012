#include "app/file_selection.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "app/main_window.h"

namespace {
constexpr DWORD dialog_flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
constexpr DWORD file_name_buffer_size = 260;

Text dropped_path(HDROP drop, UINT index)
{
    Text path(DragQueryFileA(drop, index, nullptr, 0), '\0');
    DragQueryFileA(drop, index, path.data(), static_cast<UINT>(path.size()) + 1);
    return path;
}
}  // namespace

bool open_file_dialog::open(HWND owner)
{
    std::vector<char> file_name(file_name_buffer_size, '\0');
    std::copy_n(file_name_.begin(), std::min<std::size_t>(file_name_.size(), file_name.size() - 1), file_name.begin());

    OPENFILENAMEA dialog {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFile = file_name.data();
    dialog.nMaxFile = file_name_buffer_size;
    dialog.Flags = dialog_flags;
    if (!GetOpenFileNameA(&dialog))
        return false;
    file_name_ = file_name.data();
    return true;
}

void select_button_clicked(open_file_dialog& 通用对话框1, main_window& window)
{
    通用对话框1.open(window.handle());
    // The setting, not the dialog's answer: a cancel after an earlier choice
    // puts that choice back.
    if (compare_text(通用对话框1.file_name(), "") == 0)
        return;
    window.set_path_text(通用对话框1.file_name());
}

Text take_dropped_paths(HDROP drop)
{
    const Text path = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) > 0 ? dropped_path(drop, 0) : Text();
    DragFinish(drop);
    return path;
}
