#pragma once

#include <cstdint>
#include <ctime>

// The clocks beneath the timers: the high-resolution counter with its
// frequency, and the 32-bit millisecond clock that wraps after about 49.7
// days. Each reading goes through a replaceable source so that tests can
// drive the timers without waiting; null sources mean the real clocks.
// Besides: the raw monotonic clock the processor's clock rate is measured
// against, and the local calendar time.
class T_Clock
{
public:
    static std::uint64_t Counter();
    static std::uint64_t Frequency(); // ticks per second, 0 when there is no counter
    static std::uint32_t Milliseconds();

    // Nanoseconds of the monotonic clock that no time adjustment slews, so
    // that it runs at the hardware's own rate.
    static std::uint64_t MonotonicNanos();

    // The local calendar time of `when`; false (result untouched) when the
    // time cannot be broken down.
    static bool LocalTime(std::time_t when, std::tm& result);

    // Replacements for tests. Set them back to nullptr when done.
    static std::uint64_t (*counterSource)();
    static std::uint64_t (*frequencySource)();
    static std::uint32_t (*millisecondSource)();
};
