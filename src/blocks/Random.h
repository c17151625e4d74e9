#pragma once
// The pseudo-random generator of the Gaussian, Random and Jitter blocks: a 32-bit linear
// congruential state (× 214013 + 2531011) giving 15-bit results. The state belongs to the chart
// (CBlockHost::RandomState), so charts run side by side in threads draw independent sequences;
// within one chart the blocks share it, as they always did.

#include <cstdint>
#include <optional>

class CBlock;

namespace kintra {

// Sets the state.
void SeedRandom(std::uint32_t& state, std::uint32_t seed);
// Advances the state and returns (state >> 16) & 0x7FFF, an integer 0..32767.
int NextRandom(std::uint32_t& state);
// A result of NextRandom scaled to [0, 1]: r × (1 / 32767).
inline double RandomUnit(int r) {
    return r * (1.0 / 32767.0);
}
// Seeds from a block's "Seed" parameter: its whole part when 2 ≤ seed ≤ 32767; otherwise
// `clockSeed` when one is given (a sweep's run), else the current calendar time in whole seconds
// (so the sequence differs from run to run).
void RandomSeed(std::uint32_t& state, double seed, std::optional<std::uint32_t> clockSeed = {});

// The generator state a block draws from: its chart's, or, for a block on no chart, one of the
// calling thread's own.
std::uint32_t& RandomStateOf(const CBlock& block);
// Seeds the block's generator from its seed parameter `seed` as RandomSeed does, taking the
// chart's ClockSeed in place of the clock.
void SeedBlockRandom(const CBlock& block, double seed);

} // namespace kintra
