#include "blocks/Random.h"

#include "model/Block.h"

#include <ctime>

namespace kintra {

void SeedRandom(std::uint32_t& state, std::uint32_t seed) {
    state = seed;
}

int NextRandom(std::uint32_t& state) {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

void RandomSeed(std::uint32_t& state, double seed, std::optional<std::uint32_t> clockSeed) {
    if (seed >= 2 && seed <= 32767)
        SeedRandom(state, static_cast<std::uint32_t>(seed));
    else if (clockSeed)
        SeedRandom(state, *clockSeed);
    else
        SeedRandom(state, static_cast<std::uint32_t>(std::time(nullptr)));
}

std::uint32_t& RandomStateOf(const CBlock& block) {
    thread_local std::uint32_t orphanState = 1;
    return block.Document ? block.Document->RandomState : orphanState;
}

void SeedBlockRandom(const CBlock& block, double seed) {
    RandomSeed(RandomStateOf(block), seed, block.Document ? block.Document->ClockSeed : std::nullopt);
}

} // namespace kintra
