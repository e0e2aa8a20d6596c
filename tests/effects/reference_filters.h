#pragma once
// Test pictures, the engine run on them, and plain, slow, literal versions of
// the engine's filters: one pixel at a time, 1-based channel, column and row,
// two arrays (work and source) exactly as the arithmetic is described.

#include <cstdint>
#include <vector>

#include "effects/filter_engine.h"
#include "effects/uniform_random.h"

namespace fotello::testing {

struct Picture {
    int w = 0;
    int h = 0;
    std::vector<std::uint8_t> bytes; // blue, green, red, unused; top row first

    Picture() = default;
    Picture(int width, int height) : w(width), h(height), bytes(std::size_t(width) * height * 4) {}
    // c 1..4, x 1..w, y 1..h
    std::uint8_t& at(int c, int x, int y) {
        return bytes[(std::size_t(y - 1) * w + (x - 1)) * 4 + (c - 1)];
    }
    std::uint8_t at(int c, int x, int y) const {
        return bytes[(std::size_t(y - 1) * w + (x - 1)) * 4 + (c - 1)];
    }
    bool operator==(const Picture&) const = default;
};

// Every byte (the unused one too) drawn from the generator.
Picture RandomPicture(int w, int h, std::uint64_t seed);
Picture FlatPicture(int w, int h, int b, int g, int r, int unused = 0xFF);

// The filter `number` over `in`, literally; random filters draw from `random`.
Picture ReferenceFilter(int number, const Picture& in, std::int32_t parameter,
                        UniformRandom& random);

inline PixelView ViewOf(Picture& pic) {
    return PixelView{pic.bytes.data(), pic.w, pic.h};
}

inline Picture RunEngine(FilterEngine& engine, int number, Picture pic, std::int32_t parameter,
                         FilterStatus* status = nullptr, std::vector<int>* figures = nullptr) {
    FilterProgress progress;
    if (figures != nullptr)
        progress.onReport = [figures](int f) { figures->push_back(f); };
    const FilterStatus s = engine.ApplyFilter(number, ViewOf(pic), parameter, progress);
    if (status != nullptr)
        *status = s;
    return pic;
}

} // namespace fotello::testing
