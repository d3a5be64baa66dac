#include "vexlar3d/platform/T_Clock.h"

#include <SDL.h>

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
