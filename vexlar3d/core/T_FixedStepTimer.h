#pragma once

#include "vexlar3d/core/T_ITimer.h"

#include <cstdint>

// The demo clock of offline runs (capture, video, benchmark): every Update
// advances it by exactly one frame of rateNumerator / rateDenominator frames
// per second, whatever the wall clock does. Frame n after Restart(start) is
// at start + n * rateDenominator / rateNumerator seconds, computed afresh
// each time (in double precision, then rounded to the timer's float), so no
// rounding error builds up over a long run.
class T_FixedStepTimer final : public T_ITimer
{
public:
    // A rate with a numerator or denominator below 1 is taken as 60/1.
    T_FixedStepTimer(std::int32_t rateNumerator, std::int32_t rateDenominator);
    ~T_FixedStepTimer() override;

    void Reset() override;
    void Update() override;
    float* GetTime() override { return &time; }
    float* GetDelta() override { return &delta; }
    void Restart(double seconds) override;

    // The exact time of frame n after the last restart.
    double TimeOfFrame(std::int64_t n) const;

    std::int32_t rateNumerator = 60;
    std::int32_t rateDenominator = 1;
    double start = 0.0; // the time of frame 0
    std::int64_t frame = 0;
    float time = 0.0f;
    float delta = 0.0f;
};
