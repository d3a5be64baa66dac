#include "vexlar3d/core/T_MultimediaTimer.h"

#include "vexlar3d/platform/T_Clock.h"

T_MultimediaTimer::T_MultimediaTimer()
{
    LogCreation();
    scale = 0.001f;
    base = T_Clock::Milliseconds();
}

T_MultimediaTimer::~T_MultimediaTimer() = default;

float T_MultimediaTimer::Elapsed() const
{
    std::uint32_t ticks = T_Clock::Milliseconds() - base;
    return static_cast<float>(ticks) * scale;
}

void T_MultimediaTimer::Reset()
{
    offset = Elapsed();
    time = 0.0f;
    delta = 0.0f;
    previous = 0.0f;
}

void T_MultimediaTimer::Update()
{
    time = Elapsed() - offset;
    delta = time - previous;
    previous = time;
}
