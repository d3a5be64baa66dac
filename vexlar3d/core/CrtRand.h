#pragma once

#include <cstdint>

// The demo's random numbers: the classic C runtime generator,
// s = s * 214013 + 2531011 (mod 2^32), result (s >> 16) & 0x7FFF.
// One state for the whole process, starting at 1 and never reseeded by the
// program, so every run draws the same sequence.
int CrtRand();

// For tests and tools only: read or set the generator's state.
std::uint32_t CrtRandState();
void CrtRandSetState(std::uint32_t state);
