#include "effects/uniform_random.h"

#include <chrono>

namespace fotello {

void UniformRandom::Seed(std::uint64_t seed) {
    // splitmix64 spreads any seed, 0 included, over the whole state.
    for (auto& word : s_) {
        seed += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = seed;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        word = z ^ (z >> 31);
    }
}

void UniformRandom::SeedFromClock() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    Seed(static_cast<std::uint64_t>(now));
}

} // namespace fotello
