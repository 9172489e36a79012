#pragma once

#include <cstdint>

// The owner-drawn skin that gives the classic controls of the calling thread the
// look of the XP visual styles.
//
// A scheme of 1, 2 or 3 switches the skin on in that colour scheme: it restyles
// every control that already exists on the thread and, through a thread hook,
// every one created later; the result is then 1. Any other scheme switches the
// skin off again; the result is then that of removing the hook, or 0 when no
// hook was installed.
std::int32_t set_visual_style(std::int32_t scheme);
