#include "reference_filters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "reference_run.h"

namespace fotello::testing {

using namespace reference;

namespace reference {

void Run::Aqua() {
    // Of the four 3 x 3 areas with (x, y) at a corner, the mean of the first calmest one.
    static const int corner[4][2] = {{-2, -2}, {0, -2}, {-2, 0}, {0, 0}};
    for (int y = 3; y <= H - 2; ++y)
        for (int x = 3; x <= W - 2; ++x)
            for (int c = 1; c <= 3; ++c) {
                int best = 0, limit = 99999;
                for (int q = 0; q < 4; ++q) {
                    auto at = [&](int i) {
                        return int(
                            source.at(c, x + corner[q][0] + i % 3, y + corner[q][1] + i / 3));
                    };
                    int sum = 0, d = 0;
                    for (int i = 0; i < 9; ++i)
                        sum += at(i);
                    for (int i = 0; i < 9; ++i)
                        d += std::abs(at(i) - sum / 9);
                    if (d < limit) {
                        best = sum / 9;
                        limit = d;
                    }
                }
                work.at(c, x, y) = std::uint8_t(best);
            }
}

} // namespace reference

Picture RandomPicture(int w, int h, std::uint64_t seed) {
    UniformRandom u(seed);
    Picture pic(w, h);
    for (auto& b : pic.bytes)
        b = std::uint8_t(u.Next() * 256);
    return pic;
}

Picture FlatPicture(int w, int h, int b, int g, int r, int unused) {
    Picture pic(w, h);
    const int px[4] = {b, g, r, unused};
    for (std::size_t i = 0; i < pic.bytes.size(); ++i)
        pic.bytes[i] = std::uint8_t(px[i % 4]);
    return pic;
}

Picture ReferenceFilter(int number, const Picture& in, std::int32_t p, UniformRandom& random) {
    Run r{in, in, in.w, in.h, p};
    const int W = in.w, H = in.h;
    Picture& work = r.work;
    const Picture& src = r.source;
    r.k[1] = (p / 65536) & 255;
    r.k[2] = (p / 256) & 255;
    r.k[3] = p % 256;
    switch (number) {
    case 1:
        if (p + 8 != 0)
            r.InPlace3x3([&](int c, int x, int y) {
                return Clamp(((long long)work.at(c, x, y) * (p + 24) - 2LL * r.N8(work, c, x, y)) /
                             (p + 8));
            });
        break;
    case 3:
        r.InPlace3x3([&](int c, int x, int y) { return r.N8(work, c, x, y) / 8; });
        break;
    case 5:
        r.InPlace3x3([&](int c, int x, int y) {
            return r.Weighted(work, c, x, y, {{0, 1, 0}, {1, 1, 1}, {0, 1, 0}}) / 5;
        });
        break;
    case 6:
        if (p + 1 != 0)
            r.InPlace3x3([&](int c, int x, int y) {
                return Clamp(((long long)work.at(c, x, y) * (p + 9) - r.N8(work, c, x, y)) /
                             (p + 1));
            });
        break;
    case 7:
        r.FromCopy3x3([&](int c, int x, int y) {
            return Clamp(8 * src.at(c, x, y) - r.N8(src, c, x, y) + r.k[c]);
        });
        break;
    case 8:
    case 10:
        for (int y = 1; y <= H - 1; ++y)
            for (int x = 1; x <= W - 1; ++x) {
                int v[4];
                for (int c = 1; c <= 3; ++c) {
                    const int d = number == 8 ? work.at(c, x, y) - work.at(c, x + 1, y + 1)
                                              : work.at(c, x + 1, y + 1) - work.at(c, x, y);
                    v[c] = std::min(255, std::abs(d + r.k[c]));
                }
                for (int c = 1; c <= 3; ++c)
                    work.at(c, x, y) = std::uint8_t(v[c]);
            }
        break;
    case 9:
    case 11:
        r.FromCopy3x3([&](int c, int x, int y) {
            const int v = r.Weighted(src, c, x, y, {{1, 0, -1}, {1, 0, -1}, {1, 0, -1}});
            return Clamp((number == 9 ? v : -v) + r.k[c]);
        });
        break;
    case 13:
        r.FromCopy3x3([&](int c, int x, int y) {
            return Clamp(r.Weighted(src, c, x, y, {{2, 1, 0}, {1, 1, -1}, {0, -1, -2}}) / 2 + 50);
        });
        break;
    case 24:
        r.Aqua();
        break;
    case 25:
    case 26:
    case 27:
        r.FromCopy3x3([&](int c, int x, int y) {
            int lo = 255, hi = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    lo = std::min(lo, int(src.at(c, x + dx, y + dy)));
                    hi = std::max(hi, int(src.at(c, x + dx, y + dy)));
                }
            return number == 25 ? hi : (number == 26 ? lo : src.at(c, x, y) - lo);
        });
        break;
    default:
        PointFilter(number, r, random);
        break;
    }
    return work;
}

} // namespace fotello::testing
