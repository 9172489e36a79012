#pragma once
// The application's one window: the path field, the two buttons, the progress bar
// and its labels. Conversions run inside the click handler of "转换".
#include <windows.h>

#include <array>
#include <cstdint>

#include "app/file_selection.h"
#include "app/label.h"
#include "common/text.h"
#include "conversion/batch_runner.h"

class main_window final : public batch_view {
public:
    static constexpr int outer_width = 423;
    static constexpr int outer_height = 117;

    main_window();
    ~main_window();
    main_window(const main_window&) = delete;
    main_window& operator=(const main_window&) = delete;

    // Creates the window and its controls hidden, raises the created event and
    // shows it. False when any of them could not be created.
    bool create(HINSTANCE instance);
    HWND handle() const { return window_; }

    // Handles Tab, Shift+Tab, Esc and Enter for the window and all its controls
    // before the focused control sees them. True when the message was used up.
    bool handle_keyboard(const MSG& message);

    Text path_text() const override;
    void set_path_text(const Text& path);
    void show_progress_position(std::int32_t position) override;
    void show_progress_caption(const Text& caption) override;
    bool is_closed() const override { return window_ == nullptr; }
    void set_input_enabled(bool enabled) override;
    void show_window_caption(const Text& caption) override;

    std::int32_t progress_position() const;
    Text progress_caption() const;

private:
    template <typename Owner>
    friend LRESULT CALLBACK routed_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);

    bool create_controls();
    void raise_created_event();
    LRESULT command(WPARAM wparam, LPARAM lparam);
    LRESULT erase_background(HDC dc);
    void activation_changed(WPARAM wparam);
    void focus_received();
    void move_focus(int step);
    HWND first_focusable_control() const;
    std::array<HWND, 3> focus_order() const;
    void require_loaded() const;

    void select_button_clicked();
    void files_dropped(HDROP drop);
    void convert_button_clicked();

    HWND window_ = nullptr;
    HFONT gui_font_ = nullptr;
    HFONT percentage_font_ = nullptr;
    HWND remembered_focus_ = nullptr;
    bool input_enabled_ = true;
    int shown_position_ = 0;
    Text shown_caption_;

    label_control 标签2;
    HWND 进度条1 = nullptr;
    label_control 标签1;
    HWND 按钮_选择歌曲1 = nullptr;
    HWND 按钮_选择歌曲 = nullptr;
    HWND 编辑框2 = nullptr;
    label_control 透明标签1;
    open_file_dialog 通用对话框1;
};

// Raised once the window and its controls exist, before the window is first shown.
void main_window_created();

// Ends the program after a control was used that is no longer there, or when the
// window could not be loaded: a stop box, then exit code -1.
[[noreturn]] void fatal_window_error(const char* text);
