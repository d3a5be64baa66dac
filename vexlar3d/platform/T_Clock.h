#pragma once

#include <cstdint>

// The clocks beneath the timers: the high-resolution counter with its
// frequency, and the 32-bit millisecond clock that wraps after about 49.7
// days. Each reading goes through a replaceable source so that tests can
// drive the timers without waiting; null sources mean the real clocks.
class T_Clock
{
public:
    static std::uint64_t Counter();
    static std::uint64_t Frequency(); // ticks per second, 0 when there is no counter
    static std::uint32_t Milliseconds();

    // Replacements for tests. Set them back to nullptr when done.
    static std::uint64_t (*counterSource)();
    static std::uint64_t (*frequencySource)();
    static std::uint32_t (*millisecondSource)();
};
