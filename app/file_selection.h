#pragma once
// Picking the voice file: the open-file dialog behind "选择", and files dropped
// on the window from Explorer.
#include <windows.h>

#include <shellapi.h>

#include "common/text.h"

// 通用对话框1: holds the settings of the system's open-file dialog for as long as
// the window exists, and opens it on request.
class open_file_dialog {
public:
    // Shows the dialog modally over owner. True when the user chose with OK; only
    // then the file name becomes the chosen path.
    bool open(HWND owner);
    // Empty until the first choice, then the last chosen path (several chosen
    // at once: joined by ";", as the path field takes them).
    const Text& file_name() const { return file_name_; }

private:
    Text file_name_;
};

class main_window;

// The click of "选择": the chosen path into the path field. After a cancel the
// last chosen path (if any) is written back, whatever was typed meanwhile.
void select_button_clicked(open_file_dialog& 通用对话框1, main_window& window);

// The paths of a drop joined by ";"; the drop is finished here (its block released).
Text take_dropped_paths(HDROP drop);
