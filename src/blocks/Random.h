#pragma once
// The one pseudo-random generator shared by the Gaussian, Random and Jitter blocks: a 32-bit
// linear congruential state (× 214013 + 2531011) giving 15-bit results. The state is 1 until
// first seeded.

#include <cstdint>

namespace kintra {

// Sets the state.
void SeedRandom(std::uint32_t seed);
// Advances the state and returns (state >> 16) & 0x7FFF, an integer 0..32767.
int NextRandom();
// A result of NextRandom scaled to [0, 1]: r × (1 / 32767).
inline double RandomUnit(int r) {
    return r * (1.0 / 32767.0);
}
// Seeds from a block's "Seed" parameter: its whole part when 2 ≤ seed ≤ 32767, otherwise the
// current calendar time in whole seconds (so the sequence differs from run to run).
void RandomSeed(double seed);

} // namespace kintra
