// The runtime's random generator: a 32-bit linear congruential generator.
#pragma once

#include <cstdint>

extern uint32_t RandSeed;

// Uniform integer in 0..n-1: seed := seed * 134775813 + 1, result := high 32 bits of seed * n.
int32_t Random(int32_t n);
// Seed from the high-resolution counter (low 32 bits), or the millisecond clock without one.
void Randomize();
