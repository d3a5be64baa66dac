#include "vexlar3d/core/T_TscClock.h"

#include "vexlar3d/platform/T_Clock.h"

#include <cstddef>
#include <iterator>
#include <limits>
#include <thread>

#if defined(__x86_64__)
#include <x86intrin.h>
#endif

T_TscClock::Reading T_TscClock::Read()
{
    Reading best;
#if defined(__x86_64__)
    // The counter is read between two clock readings, fenced so that it is
    // not moved across them; of a few tries the one with the narrowest
    // bracket wins, which keeps an interrupt from spoiling the pair.
    std::uint64_t bestSpan = std::numeric_limits<std::uint64_t>::max();
    for (int attempt = 0; attempt < 5; ++attempt)
    {
        const std::uint64_t before = T_Clock::MonotonicNanos();
        _mm_lfence();
        const std::uint64_t ticks = __rdtsc();
        _mm_lfence();
        const std::uint64_t after = T_Clock::MonotonicNanos();
        if (after - before < bestSpan)
        {
            bestSpan = after - before;
            best.ticks = ticks;
            best.nanos = before + (after - before) / 2;
        }
    }
#endif
    return best;
}

void T_TscClock::Start()
{
#if defined(__x86_64__)
    start_ = Read();
    started_ = true;
#endif
}

std::uint64_t T_TscClock::Finish(std::chrono::microseconds window)
{
    if (!started_)
        return 0;
    const std::uint64_t windowNanos = window.count() > 0 ? static_cast<std::uint64_t>(window.count()) * 1000u : 0;
    // Sleep out the rest of the window; the figure uses the time actually
    // elapsed, so oversleeping costs nothing but the wait.
    for (;;)
    {
        const std::uint64_t elapsed = T_Clock::MonotonicNanos() - start_.nanos;
        if (elapsed >= windowNanos)
            break;
        std::this_thread::sleep_for(std::chrono::nanoseconds(windowNanos - elapsed));
    }
    const Reading end = Read();
    started_ = false;
    if (end.ticks < start_.ticks || end.nanos <= start_.nanos)
        return 0;
    return MhzFromNanos(end.ticks - start_.ticks, end.nanos - start_.nanos);
}

std::uint64_t T_TscClock::MhzFromNanos(std::uint64_t ticks, std::uint64_t nanos)
{
    if (nanos == 0)
        return 0;
    const unsigned __int128 mhz = static_cast<unsigned __int128>(ticks) * 1000u / nanos;
    constexpr std::uint64_t largest = std::numeric_limits<std::uint64_t>::max();
    return mhz > largest ? largest : static_cast<std::uint64_t>(mhz);
}

std::uint32_t T_TscClock::RoundMhz(std::uint64_t mhz)
{
    static constexpr std::uint64_t steps[] = {0, 20, 33, 50, 60, 66, 80, 90, 100};
    const std::uint64_t r = mhz % 100;
    std::uint64_t rounded = mhz;
    for (std::size_t i = 1; i < std::size(steps); ++i)
    {
        if (r < steps[i])
        {
            if (steps[i] - r > r - steps[i - 1])
                rounded = mhz - (r - steps[i - 1]);
            else
                rounded = mhz + (steps[i] - r);
            break;
        }
    }
    constexpr std::uint64_t largest = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(rounded > largest ? largest : rounded);
}
