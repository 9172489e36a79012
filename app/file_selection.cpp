#include "app/file_selection.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "app/main_window.h"
#include "conversion/batch_plan.h"

namespace {
// Several files may be chosen at once, for a batch.
constexpr DWORD dialog_flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT
    | OFN_ALLOWMULTISELECT | OFN_EXPLORER;
// Room for a few hundred names after their folder.
constexpr DWORD file_name_buffer_size = 32768;

Text dropped_path(HDROP drop, UINT index)
{
    Text path(DragQueryFileA(drop, index, nullptr, 0), '\0');
    DragQueryFileA(drop, index, path.data(), static_cast<UINT>(path.size()) + 1);
    return path;
}

// The dialog starts in the folder of the last choice, with its (first) name filled in.
Text first_path(const Text& paths)
{
    const std::vector<Text> all = split_path_list(paths);
    return all.empty() ? Text() : all.front();
}
}  // namespace

bool open_file_dialog::open(HWND owner)
{
    std::vector<char> file_name(file_name_buffer_size, '\0');
    const Text start = first_path(file_name_);
    std::copy_n(start.begin(), std::min<std::size_t>(start.size(), file_name.size() - 1), file_name.begin());

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFile = file_name.data();
    dialog.nMaxFile = file_name_buffer_size;
    dialog.Flags = dialog_flags;
    if (!GetOpenFileNameA(&dialog))
        return false;
    file_name_ = selection_from_dialog(file_name.data(), file_name.size(), dialog.nFileOffset);
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
    std::vector<Text> paths;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT index = 0; index < count; ++index)
        paths.push_back(dropped_path(drop, index));
    DragFinish(drop);
    return join_path_list(paths);
}
