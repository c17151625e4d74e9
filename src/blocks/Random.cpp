#include "blocks/Random.h"

#include <ctime>

namespace kintra {

namespace {
std::uint32_t g_state = 1;
}

void SeedRandom(std::uint32_t seed) {
    g_state = seed;
}

int NextRandom() {
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7FFF);
}

void RandomSeed(double seed) {
    if (seed >= 2 && seed <= 32767)
        SeedRandom(static_cast<std::uint32_t>(seed));
    else
        SeedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
}

} // namespace kintra
