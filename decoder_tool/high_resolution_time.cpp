#include "high_resolution_time.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

SKP_int64 GetHighResolutionTime()
{
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    // Whole seconds and the remainder apart: counter * 1000000 overflows after days of uptime.
    const SKP_int64 seconds = counter.QuadPart / frequency.QuadPart;
    const SKP_int64 remainder = counter.QuadPart % frequency.QuadPart;
    return seconds * 1000000 + remainder * 1000000 / frequency.QuadPart;
}
#else
#include <chrono>

SKP_int64 GetHighResolutionTime()
{
    const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::microseconds>(since_start).count();
}
#endif
