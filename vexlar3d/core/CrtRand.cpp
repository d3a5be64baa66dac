#include "vexlar3d/core/CrtRand.h"

namespace
{
std::uint32_t state = 1;
}

int CrtRand()
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

std::uint32_t CrtRandState()
{
    return state;
}

void CrtRandSetState(std::uint32_t value)
{
    state = value;
}
