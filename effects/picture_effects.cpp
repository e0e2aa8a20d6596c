#include "effects/picture_effects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace fotello {

bool FlipPicture(PixelView source, PixelView target, bool vertical) {
    if (source.width != target.width || source.height != target.height) {
        return false;
    }
    if (source.empty()) {
        return true;
    }
    const std::uint8_t* s0 = source.bits;
    const std::uint8_t* s1 = source.bits + source.byteCount();
    if (target.bits < s1 && s0 < target.bits + target.byteCount()) {
        return false;
    }
    const int w = source.width;
    const int h = source.height;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* from = source.pixel(0, vertical ? h - 1 - y : y);
        std::uint8_t* to = target.pixel(0, y);
        if (vertical) {
            std::memcpy(to, from, source.stride());
        } else {
            for (int x = 0; x < w; ++x) {
                std::memcpy(to + std::size_t(x) * 4, from + std::size_t(w - 1 - x) * 4, 4);
            }
        }
    }
    return true;
}

void MosaicEffect(PixelView picture) {
    if (picture.empty()) {
        return;
    }
    constexpr int kTile = 4;
    for (int ty = 0; ty < picture.height; ty += kTile) {
        for (int tx = 0; tx < picture.width; tx += kTile) {
            std::uint8_t colour[3];
            std::memcpy(colour, picture.pixel(tx, ty), 3);
            const int y1 = std::min(picture.height, ty + kTile);
            const int x1 = std::min(picture.width, tx + kTile);
            for (int y = ty; y < y1; ++y) {
                for (int x = tx; x < x1; ++x) {
                    std::memcpy(picture.pixel(x, y), colour, 3);
                }
            }
        }
    }
}

void DottedEffect(PixelView picture, UniformRandom& random, bool reseed) {
    constexpr int kSpread = 12;
    if (reseed) {
        random.SeedFromClock();
    }
    if (picture.empty()) {
        return;
    }
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int dx = int(std::floor(random.Next() * kSpread)) - kSpread / 2;
            const int dy = int(std::floor(random.Next() * kSpread)) - kSpread / 2;
            // In place: a pixel already moved in this pass can be picked again.
            if (picture.contains((long long)x + dx, (long long)y + dy)) {
                std::memcpy(picture.pixel(x, y), picture.pixel(x + dx, y + dy), 3);
            }
        }
    }
}

void FadeEffect(PixelView source, PixelView target, int mode, bool swap) {
    if (source.empty() || target.empty()) {
        return;
    }
    const int w = std::min(source.width, target.width);
    const int h = std::min(source.height, target.height);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* s = source.pixel(x, y);
            const std::uint8_t b = s[kBlue];
            const std::uint8_t g = s[kGreen];
            const std::uint8_t r = s[kRed];
            std::uint8_t out[3] = {b, g, r}; // blue, green, red
            if (swap) {
                out[0] = b;
                out[1] = g;
                out[2] = g;
            } else if (mode == 1) {
                out[0] = out[1] = out[2] = g;
            } else if (mode == 2) {
                out[0] = out[1] = out[2] = b;
            }
            std::memcpy(target.pixel(x, y), out, 3);
        }
    }
}

} // namespace fotello
