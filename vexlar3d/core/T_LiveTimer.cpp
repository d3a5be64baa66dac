#include "vexlar3d/core/T_LiveTimer.h"

T_LiveTimer::T_LiveTimer()
{
    LogCreation();
}

void T_LiveTimer::Reset()
{
    Restart(0.0);
}

void T_LiveTimer::Restart(double seconds)
{
    // Time reads as (elapsed - offset): an offset moved back by `seconds`
    // runs the clock on from there.
    const auto start = static_cast<float>(seconds);
    offset = Elapsed() - start;
    time = start;
    delta = 0.0f;
    previous = start;
}

void T_LiveTimer::Update()
{
    time = Elapsed() - offset;
    delta = time - previous;
    previous = time;
}
