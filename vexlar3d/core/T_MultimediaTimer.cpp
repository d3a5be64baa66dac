#include "vexlar3d/core/T_MultimediaTimer.h"

#include "vexlar3d/platform/T_Clock.h"

T_MultimediaTimer::T_MultimediaTimer()
{
    scale = 0.001f;
    base = T_Clock::Milliseconds();
}

T_MultimediaTimer::~T_MultimediaTimer() = default;

float T_MultimediaTimer::Elapsed()
{
    std::uint32_t ticks = T_Clock::Milliseconds() - base;
    return static_cast<float>(ticks) * scale;
}
