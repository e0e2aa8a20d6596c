// Diffuse and noise (random numbers from the engine's generator, drawn in the
// order the pixels are visited) and pixelize (flat blocks of their mean).

#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/filters.h"

namespace fotello::filters {

namespace {
using Byte = std::uint8_t;
}

namespace {

// Row loops cloned for AVX2, where rounding is one instruction instead of a
// library call; the draws stay in the order the pixels are visited.
__attribute__((target_clones("avx2", "default"))) void
DiffuseRow(const FilterJob& job, int y, double p, double half, UniformRandom& u) {
    const int w = job.width;
    const int h = job.height;
    Byte* row = job.workRow(y);
    for (int x = 0; x < w; ++x) {
        double dx = std::nearbyint(u.Next() * p - half);
        double dy = std::nearbyint(u.Next() * p - half);
        if (x + dx < 0 || x + dx > w - 1) {
            dx = 0;
        }
        if (y + dy < 0 || y + dy > h - 1) {
            dy = 0;
        }
        // In place: a pixel already moved can be moved again.
        const Byte* from = job.workRow(y + int(dy)) + std::size_t(x + int(dx)) * 4;
        Byte* to = row + std::size_t(x) * 4;
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
    }
}

__attribute__((target_clones("avx2", "default"))) void NoiseRow(Byte* row, int w, double p,
                                                                UniformRandom& u) {
    const double span = 2 * p + 1;
    for (int x = 0; x < w; ++x) {
        Byte* px = row + std::size_t(x) * 4;
        for (int c = 0; c < 3; ++c) {
            const double v = std::nearbyint(u.Next() * span - p + px[c]);
            px[c] = Byte(v < 0 ? 0 : (v > 255 ? 255 : v));
        }
    }
}

} // namespace

void Diffuse(const FilterJob& job) {
    const double p = job.parameter;
    const double half = std::nearbyint(p / 2);
    UniformRandom u = *job.random; // a local copy keeps the state in registers
    for (int y = 0; y < job.height; ++y) {
        DiffuseRow(job, y, p, half, u);
        job.progress->Report(job.Figure(y));
    }
    *job.random = u;
    job.progress->Report(100);
}

void Noise(const FilterJob& job) {
    UniformRandom u = *job.random;
    for (int y = 0; y < job.height; ++y) {
        NoiseRow(job.workRow(y), job.width, job.parameter, u); // a pixel reads only itself
        job.progress->Report(job.Figure(y));
    }
    *job.random = u;
    job.progress->Report(100);
}

void Pixelize(const FilterJob& job) {
    const int w = job.width;
    const int h = job.height;
    const int p = job.parameter;
    if (p <= 0) {
        job.progress->Report(100); // no block size: the picture stays as it is
        return;
    }
    const int blocks = int((static_cast<long long>(w) + p - 1) / p);
    std::vector<Byte> colours(std::size_t(blocks) * 3);
    // A block row's means are taken once, before any of its rows is written;
    // every pixel then gets its block's mean, which is what recomputing the
    // block at each of its rows would give.
    for (int y = 0; y < h; ++y) {
        if (y % p == 0) {
            const int y1 = int(std::min<long long>(h, static_cast<long long>(y) + p));
            for (int b = 0; b < blocks; ++b) {
                const int x0 = b * p;
                const int x1 = int(std::min<long long>(w, static_cast<long long>(x0) + p));
                long long sum[3] = {0, 0, 0};
                for (int yy = y; yy < y1; ++yy) {
                    const Byte* row = job.workRow(yy);
                    for (int xx = x0; xx < x1; ++xx) {
                        const Byte* px = row + std::size_t(xx) * 4;
                        sum[0] += px[0];
                        sum[1] += px[1];
                        sum[2] += px[2];
                    }
                }
                const long long count = (long long)(y1 - y) * (x1 - x0);
                for (int c = 0; c < 3; ++c) {
                    colours[std::size_t(b) * 3 + c] = Byte(sum[c] / count);
                }
            }
        }
        Byte* row = job.workRow(y);
        for (int x = 0; x < w; ++x) {
            const Byte* colour = colours.data() + std::size_t(x / p) * 3;
            Byte* px = row + std::size_t(x) * 4;
            px[0] = colour[0];
            px[1] = colour[1];
            px[2] = colour[2];
        }
        job.progress->Report(job.Figure(y));
    }
    job.progress->Report(100);
}

} // namespace fotello::filters
