#include "vexlar3d/core/T_PerfCountTimer.h"

#include "vexlar3d/platform/T_Clock.h"

T_PerfCountTimer::T_PerfCountTimer()
{
    std::uint64_t frequency = T_Clock::Frequency();
    // Only created when the counter exists; a zero frequency would otherwise
    // turn every time into infinity or not-a-number.
    scale = frequency != 0 ? 1.0f / static_cast<float>(frequency) : 0.0f;
    base = static_cast<std::int64_t>(T_Clock::Counter());
    current = base;
}

T_PerfCountTimer::~T_PerfCountTimer() = default;

bool T_PerfCountTimer::Available()
{
    return T_Clock::Frequency() != 0;
}

float T_PerfCountTimer::Elapsed()
{
    current = static_cast<std::int64_t>(T_Clock::Counter());
    // Difference in unsigned arithmetic: no signed overflow, whatever the
    // counter does.
    auto ticks = static_cast<std::int64_t>(static_cast<std::uint64_t>(current) - static_cast<std::uint64_t>(base));
    return static_cast<float>(ticks) * scale;
}
