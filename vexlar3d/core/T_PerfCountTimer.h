#pragma once

#include "vexlar3d/core/T_LiveTimer.h"

#include <cstdint>

// The demo clock on the high-resolution counter.
class T_PerfCountTimer final : public T_LiveTimer
{
public:
    T_PerfCountTimer();
    ~T_PerfCountTimer() override;

    // True when the platform has a high-resolution counter.
    static bool Available();

    std::int64_t base = 0;    // the counter at construction
    std::int64_t current = 0; // the counter at the last reading

private:
    float Elapsed() override;
};
