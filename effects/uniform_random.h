#pragma once
// The effects' random numbers: uniform draws in [0, 1). One generator, owned by
// the filter engine, so that a test can seed it and get the same picture twice.

#include <cstdint>

namespace fotello {

class UniformRandom {
public:
    explicit UniformRandom(std::uint64_t seed = 0x5EED) { Seed(seed); }

    void Seed(std::uint64_t seed);
    void SeedFromClock();

    // xoshiro256**: fast, and the same sequence on every machine.
    double Next() {
        const std::uint64_t result = Rotl(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = Rotl(s_[3], 45);
        return double(result >> 11) * 0x1.0p-53;
    }

private:
    static std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::uint64_t s_[4] = {};
};

} // namespace fotello
