#pragma once

#include <chrono>
#include <cstdint>

// Measures the processor clock: counts time-stamp counter ticks over a
// window of the monotonic high-resolution clock. Start, do other work, then
// Finish waits out the rest of the window and gives the frequency.
class T_TscClock
{
public:
    // Long enough for a figure good to well under 1 MHz: each reading is
    // bracketed to within a tenth of a microsecond or so, and the interval
    // is taken in nanoseconds, so 5 ms of counting leave an error of a few
    // tens of parts in a million (under 0.1 MHz at 3 GHz).
    static constexpr std::chrono::milliseconds defaultWindow{5};

    // Takes the first reading. Does nothing without a time-stamp counter.
    void Start();

    // Waits until at least `window` has passed since Start, takes the second
    // reading and returns the clock in MHz, not rounded; 0 without a
    // time-stamp counter or when Start was not called.
    std::uint64_t Finish(std::chrono::microseconds window = defaultWindow);

    // Ticks per microsecond over an interval in nanoseconds, by integer
    // division (no fraction of a microsecond lost, no overflow on any
    // count); 0 for an empty interval.
    static std::uint64_t MhzFromNanos(std::uint64_t ticks, std::uint64_t nanos);

    // Moves a clock figure to the nearest of the usual marketing steps within
    // its hundred (0, 20, 33, 50, 60, 66, 80, 90, 100), ties going up:
    // 1398 -> 1400, 1009 -> 1000, 1010 -> 1020, 866 -> 866. Figures beyond
    // the 32-bit range come back as the largest 32-bit value.
    static std::uint32_t RoundMhz(std::uint64_t mhz);

private:
    // A counter reading paired with the monotonic time, in nanoseconds.
    struct Reading
    {
        std::uint64_t ticks = 0;
        std::uint64_t nanos = 0;
    };
    static Reading Read();

    Reading start_;
    bool started_ = false;
};
