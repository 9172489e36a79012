#pragma once
// Shared by window_probe and drop_hook.dll: how a test drop travels into the
// program under test.
#include <windows.h>

inline constexpr char drop_mapping_name[] = "VelmoraTestDrop";
inline constexpr char drop_message_name[] = "VelmoraTestDropRequest";

// Head of the mapping; the DROPFILES block of `size` bytes follows it.
struct drop_request {
    DWORD size;
    volatile LONG delivered;
};
