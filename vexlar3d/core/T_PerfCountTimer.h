#pragma once

#include "vexlar3d/core/T_ITimer.h"

#include <cstdint>

// The demo clock on the high-resolution counter.
class T_PerfCountTimer final : public T_ITimer
{
public:
    T_PerfCountTimer();
    ~T_PerfCountTimer();
    T_PerfCountTimer(const T_PerfCountTimer&) = delete;
    T_PerfCountTimer& operator=(const T_PerfCountTimer&) = delete;

    void Reset() override;
    void Update() override;
    float* GetTime() override { return &time; }
    float* GetDelta() override { return &delta; }

    // True when the platform has a high-resolution counter.
    static bool Available();

    float time = 0.0f;
    float delta = 0.0f;
    float offset = 0.0f;
    float previous = 0.0f;
    float scale = 0.0f;
    std::int64_t base = 0;
    std::int64_t current = 0;

private:
    float Elapsed();
};
