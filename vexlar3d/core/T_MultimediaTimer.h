#pragma once

#include "vexlar3d/core/T_LiveTimer.h"

#include <cstdint>

// The demo clock on the 32-bit millisecond clock. Elapsed time is taken as
// a 32-bit unsigned difference, so the clock's wrap after about 49.7 days
// passes unnoticed.
class T_MultimediaTimer final : public T_LiveTimer
{
public:
    T_MultimediaTimer();
    ~T_MultimediaTimer() override;

    std::uint32_t base = 0; // the millisecond clock at construction

private:
    float Elapsed() override;
};
