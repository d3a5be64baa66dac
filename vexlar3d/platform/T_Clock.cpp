#include "vexlar3d/platform/T_Clock.h"

#include <SDL.h>

#include <time.h>

std::uint64_t (*T_Clock::counterSource)() = nullptr;
std::uint64_t (*T_Clock::frequencySource)() = nullptr;
std::uint32_t (*T_Clock::millisecondSource)() = nullptr;

std::uint64_t T_Clock::Counter()
{
    return counterSource ? counterSource() : SDL_GetPerformanceCounter();
}

std::uint64_t T_Clock::Frequency()
{
    return frequencySource ? frequencySource() : SDL_GetPerformanceFrequency();
}

std::uint32_t T_Clock::Milliseconds()
{
    // SDL_GetTicks is the 32-bit millisecond count; it wraps like the
    // system's own millisecond timer.
    return millisecondSource ? millisecondSource() : SDL_GetTicks();
}

std::uint64_t T_Clock::MonotonicNanos()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_RAW, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
}

bool T_Clock::LocalTime(std::time_t when, std::tm& result)
{
    std::tm broken{};
    if (localtime_r(&when, &broken) == nullptr)
        return false;
    result = broken;
    return true;
}
