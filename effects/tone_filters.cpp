// Point filters of colour and tone. A pixel depends only on itself, so the
// picture is changed in place (reading the copy would give the same bytes),
// rows are split across the cores, and the unused byte is carried along.

#include <cmath>
#include <cstring>
#include <vector>

#include "effects/filters.h"

namespace fotello::filters {

namespace {

using Byte = std::uint8_t;

inline std::uint32_t Load(const Byte* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void Store(Byte* p, std::uint32_t v) {
    std::memcpy(p, &v, 4);
}

// Every row, every pixel as a 32-bit word (blue in the low byte).
template <class Fn> void ForEachWord(const FilterJob& job, Fn fn) {
    ForRows(
        job, 0, job.height - 1, true,
        [&](int y) {
            Byte* row = job.workRow(y);
            const int w = job.width;
            for (int x = 0; x < w; ++x) {
                Store(row + std::size_t(x) * 4, fn(Load(row + std::size_t(x) * 4)));
            }
        },
        PlainFigure(job));
    job.progress->Report(100);
}

// Each of blue, green and red through one 256-entry table.
void ThroughTable(const FilterJob& job, const Byte (&table)[256]) {
    // Blue and green go through one 65,536-entry table of pairs (128 KB, kept in
    // the second-level cache): two look-ups a pixel instead of three.
    std::vector<std::uint16_t> pairs(65536);
    for (int g = 0; g < 256; ++g) {
        for (int b = 0; b < 256; ++b) {
            pairs[std::size_t(g) * 256 + b] = std::uint16_t(table[b] | (table[g] << 8));
        }
    }
    const std::uint16_t* pt = pairs.data();
    ForEachWord(job, [pt, &table](std::uint32_t v) {
        return (v & 0xFF000000u) | pt[v & 0xFFFF] | (std::uint32_t(table[(v >> 16) & 0xFF]) << 16);
    });
}

} // namespace

void Negative(const FilterJob& job) {
    ForEachWord(job, [](std::uint32_t v) { return v ^ 0x00FFFFFFu; });
}

void GreyScale(const FilterJob& job) {
    ForEachWord(job, [](std::uint32_t v) {
        const std::uint32_t g = ((v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF)) / 3;
        return (v & 0xFF000000u) | g | (g << 8) | (g << 16);
    });
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
