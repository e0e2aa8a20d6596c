// Point filters of colour and tone. A pixel depends only on itself, so the
// picture is changed in place (reading the copy would give the same bytes),
// rows are split across the cores, and the unused byte is carried along.

#include <cmath>
#include <cstring>
#include <vector>

#include "effects/filters.h"
#include "effects/point_loop.h"

namespace fotello::filters {

using Byte = std::uint8_t;

void Negative(const FilterJob& job) {
    ForEachWord(job, [](std::uint32_t v) { return v ^ 0x00FFFFFFu; });
}

namespace {

// Sum \ 3 for sums 0..765 as a multiply and shift (exact over that range).
inline std::uint32_t Third(std::uint32_t sum) {
    return (sum * 21846u) >> 16;
}

__attribute__((target_clones("avx2", "default"))) void GreyRow(PixelWord* row, int w) {
    for (int x = 0; x < w; ++x) {
        const std::uint32_t v = row[x];
        const std::uint32_t g = Third((v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF));
        row[x] = (v & kUnusedMask) | g | (g << 8) | (g << 16);
    }
}

} // namespace

void GreyScale(const FilterJob& job) {
    ForEachRowOfWords(job, [](PixelWord* row, int w, int) { GreyRow(row, w); });
}

void Brightness(const FilterJob& job) {
    const double f = (double(job.parameter) + 100) / 100;
    Byte table[256];
    for (int i = 0; i < 256; ++i) {
        const double v = std::nearbyint(f * i);
        table[i] = Byte(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
    ThroughTable(job, table);
}

void ChannelExchange(const FilterJob& job) {
    // The caption names the result: "RGB -> BRG" (1) makes the new red the old blue.
    switch (job.parameter) {
    case 1: // B' = G, G' = R, R' = B
        ForEachWord(job, [](std::uint32_t v) {
            return (v & 0xFF000000u) | ((v >> 8) & 0xFFFF) | ((v & 0xFF) << 16);
        });
        break;
    case 2: // B' = R, G' = B, R' = G
        ForEachWord(job, [](std::uint32_t v) {
            return (v & 0xFF000000u) | ((v >> 16) & 0xFF) | ((v & 0xFFFF) << 8);
        });
        break;
    case 3: // B' = G, G' = B, R' = R
        ForEachWord(job, [](std::uint32_t v) {
            return (v & 0xFFFF0000u) | ((v >> 8) & 0xFF) | ((v & 0xFF) << 8);
        });
        break;
    case 4: // B' = R, G' = G, R' = B
        ForEachWord(job, [](std::uint32_t v) {
            return (v & 0xFF00FF00u) | ((v >> 16) & 0xFF) | ((v & 0xFF) << 16);
        });
        break;
    case 5: // B' = B, G' = R, R' = G
        ForEachWord(job, [](std::uint32_t v) {
            return (v & 0xFF0000FFu) | ((v >> 8) & 0xFF00) | ((v & 0xFF00) << 8);
        });
        break;
    default: // no such exchange: the picture stays as it is
        job.progress->Report(100);
        break;
    }
}

void Saturation(const FilterJob& job) {
    const double f = double(job.parameter) / 100;
    // table[g][v] = round(f x (v - g) + v), clamped; g is the pixel's grey.
    std::vector<Byte> table(256 * 256);
    for (int g = 0; g < 256; ++g) {
        for (int v = 0; v < 256; ++v) {
            const double r = std::nearbyint(f * (v - g) + v);
            table[std::size_t(g) * 256 + v] = Byte(r < 0 ? 0 : (r > 255 ? 255 : r));
        }
    }
    const Byte* t = table.data();
    ForEachWord(job, [t](std::uint32_t v) {
        const std::uint32_t b = v & 0xFF;
        const std::uint32_t g = (v >> 8) & 0xFF;
        const std::uint32_t r = (v >> 16) & 0xFF;
        const Byte* row = t + ((b + g + r) / 3) * 256;
        return (v & 0xFF000000u) | row[b] | (std::uint32_t(row[g]) << 8) |
               (std::uint32_t(row[r]) << 16);
    });
}

void Gamma(const FilterJob& job) {
    if (job.parameter <= 0) {
        job.progress->Report(100); // 1 / g has no meaning: the picture stays as it is
        return;
    }
    const float g = float(double(job.parameter) / 100); // single precision, as the factor is kept
    const double exponent = 1.0 / double(g);
    Byte table[256];
    for (int i = 0; i < 256; ++i) {
        const double v = std::nearbyint(std::pow(double(i) / 255, exponent) * 255);
        table[i] = Byte(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
    ThroughTable(job, table);
}

} // namespace fotello::filters
