#pragma once

#include "vexlar3d/core/T_ITimer.h"

#include <cstdint>

// The demo clock on the 32-bit millisecond clock. Elapsed time is taken as
// a 32-bit unsigned difference, so the clock's wrap after about 49.7 days
// passes unnoticed.
class T_MultimediaTimer final : public T_ITimer
{
public:
    T_MultimediaTimer();
    ~T_MultimediaTimer();
    T_MultimediaTimer(const T_MultimediaTimer&) = delete;
    T_MultimediaTimer& operator=(const T_MultimediaTimer&) = delete;

    void Reset() override;
    void Update() override;
    float* GetTime() override { return &time; }
    float* GetDelta() override { return &delta; }

    float time = 0.0f;
    float delta = 0.0f;
    float offset = 0.0f;
    float previous = 0.0f;
    float scale = 0.0f;
    std::uint32_t base = 0;

private:
    float Elapsed() const;
};
