#pragma once
// What the conversion sees of the window that started it. The window implements
// these; tests put a stand-in in its place.
#include <cstdint>

#include "common/text.h"

class progress_view {
public:
    virtual void show_progress_position(std::int32_t position) = 0;
    virtual void show_progress_caption(const Text& caption) = 0;
    // True once the user has closed the window: the running tool is then ended.
    virtual bool is_closed() const = 0;

protected:
    ~progress_view() = default;
};

class conversion_view : public progress_view {
public:
    virtual Text path_text() const = 0;
    // Off while a conversion runs, so that no second one starts and the path
    // cannot change under the running one.
    virtual void set_input_enabled(bool enabled) = 0;

protected:
    ~conversion_view() = default;
};
