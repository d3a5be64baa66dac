#include "vexlar3d/core/T_FixedStepTimer.h"

T_FixedStepTimer::T_FixedStepTimer(std::int32_t rateNumerator, std::int32_t rateDenominator)
{
    LogCreation();
    if (rateNumerator >= 1 && rateDenominator >= 1)
    {
        this->rateNumerator = rateNumerator;
        this->rateDenominator = rateDenominator;
    }
    Reset();
}

T_FixedStepTimer::~T_FixedStepTimer() = default;

double T_FixedStepTimer::TimeOfFrame(std::int64_t n) const
{
    return start + static_cast<double>(n) * rateDenominator / rateNumerator;
}

void T_FixedStepTimer::Reset()
{
    Restart(0.0);
}

void T_FixedStepTimer::Restart(double seconds)
{
    start = seconds;
    frame = 0;
    time = static_cast<float>(TimeOfFrame(0));
    delta = 0.0f;
}

void T_FixedStepTimer::Update()
{
    const float previous = time;
    ++frame;
    time = static_cast<float>(TimeOfFrame(frame));
    delta = time - previous;
}
