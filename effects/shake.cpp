#include "effects/shake.h"

#include <algorithm>
#include <cstring>

namespace fotello {

namespace {

inline void Plot(PixelView picture, long long x, long long y, const std::uint8_t colour[3]) {
    if (picture.contains(x, y)) {
        std::memcpy(picture.pixel(int(x), int(y)), colour, 3);
    }
}

} // namespace

void DrawCircle(PixelView picture, int cx, int cy, int radius, const std::uint8_t colour[3]) {
    if (radius < 0 || picture.empty()) {
        return;
    }
    long long x = radius;
    long long y = 0;
    long long err = 1 - x;
    while (x >= y) {
        Plot(picture, cx + x, cy + y, colour);
        Plot(picture, cx + y, cy + x, colour);
        Plot(picture, cx - y, cy + x, colour);
        Plot(picture, cx - x, cy + y, colour);
        Plot(picture, cx - x, cy - y, colour);
        Plot(picture, cx - y, cy - x, colour);
        Plot(picture, cx + y, cy - x, colour);
        Plot(picture, cx + x, cy - y, colour);
        ++y;
        if (err < 0) {
            err += 2 * y + 1;
        } else {
            --x;
            err += 2 * (y - x) + 1;
        }
    }
}

long long ShakeRadiusLimit(int width, int height) {
    return (long long)std::max(width, 0) + std::max(height, 0);
}

bool ShakeEffect(PixelView source, PixelView target, int stepX, int stepY, int radius,
                 const std::function<void(long long y, long long last)>& onRow) {
    if (stepX <= 0 || stepY <= 0) {
        return false;
    }
    const long long width = target.empty() ? 0 : target.width;
    const long long height = target.empty() ? 0 : target.height;
    long long x = 0;
    long long y = 0;
    for (;;) {
        x += stepX;
        if (x > width) {
            x = 1;
            y += stepY;
            if (onRow) {
                onRow(y, height + radius);
            }
        }
        // Points beyond the copy's edges have no colour: nothing is drawn there.
        if (!source.empty() && source.contains(x, y)) {
            std::uint8_t colour[3];
            std::memcpy(colour, source.pixel(int(x), int(y)), 3);
            DrawCircle(target, int(x), int(y), radius, colour);
        }
        if (y > height + radius) {
            break;
        }
    }
    return true;
}

} // namespace fotello
