#include "effects/rotation.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace fotello {

namespace {

inline int Round(double v) {
    return int(std::nearbyint(v));
}

// Offsets of one quadrant point. The fast form expands cos(t + a) and
// sin(t + a) with cos t = Y / r and sin t = X / r; it differs from the plain
// formula by far less than 1e-9, so only a value within 1e-7 of a half can
// round differently, and those are worked out the plain way.
struct Turn {
    double cosA, sinA, angle;

    static bool NearHalf(double v) {
        const double frac = v - std::floor(v);
        return std::fabs(frac - 0.5) < 1e-7;
    }

    void Offset(int x, int y, int& u, int& v) const {
        const double r = std::sqrt(double(x) * x + double(y) * y);
        const double rho = std::nearbyint(r);
        double ct = 0;
        double st = 1;
        if (y != 0) {
            const double inverse = 1 / r;
            ct = y * inverse;
            st = x * inverse;
        } else {
            ct = std::cos(kRotationPi / 2);
            st = std::sin(kRotationPi / 2);
        }
        const double fu = rho * (ct * cosA - st * sinA);
        const double fv = rho * (st * cosA + ct * sinA);
        if (NearHalf(fu) || NearHalf(fv)) {
            RotationOffsetExact(x, y, angle, u, v);
            return;
        }
        u = Round(fu);
        v = Round(fv);
    }
};

struct Plane {
    PixelView view;
    int cx, cy;
    const std::uint8_t* at(int x, int y) const {
        return view.contains(x, y) ? view.pixel(x, y) : nullptr;
    }
};

inline void Put(const Plane& dest, int x, int y, const std::uint8_t* colour) {
    if (colour != nullptr && dest.view.contains(x, y)) {
        std::memcpy(dest.view.pixel(x, y), colour, 3);
    }
}

inline void Visit(const Plane& src, const Plane& dst, const Turn& turn, int x, int y) {
    int u = 0;
    int v = 0;
    turn.Offset(x, y, u, v);
    const std::uint8_t* c0 = src.at(src.cx + u, src.cy + v);
    const std::uint8_t* c1 = src.at(src.cx - u, src.cy - v);
    const std::uint8_t* c2 = src.at(src.cx + v, src.cy - u);
    const std::uint8_t* c3 = src.at(src.cx - v, src.cy + u);
    Put(dst, dst.cx + y, dst.cy + x, c0);
    Put(dst, dst.cx - y, dst.cy - x, c1);
    Put(dst, dst.cx + x, dst.cy - y, c2);
    Put(dst, dst.cx - x, dst.cy + y, c3);
}

// One band of rows of the off-axis points, tile by tile. Cloned for AVX2,
// where rounding is one instruction instead of a library call.
__attribute__((target_clones("avx2", "default"))) void RotateBand(const Plane& src,
                                                                  const Plane& dst,
                                                                  const Turn& turn, int y0, int y1,
                                                                  int reach, int tile) {
    for (int x0 = 1; x0 <= reach; x0 += tile) {
        const int x1 = std::min(reach, x0 + tile - 1);
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                Visit(src, dst, turn, x, y);
            }
        }
    }
}

} // namespace

void RotationOffsetExact(int x, int y, double angle, int& u, int& v) {
    const double t = y == 0 ? kRotationPi / 2 : std::atan(double(x) / double(y));
    const double rho = std::nearbyint(std::sqrt(double(x) * x + double(y) * y));
    u = Round(rho * std::cos(t + angle));
    v = Round(rho * std::sin(t + angle));
}

std::optional<int> ParseRotationAngle(std::string_view text) {
    if (text.empty() || text.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > 360) {
        return std::nullopt;
    }
    return value;
}

RotateShape RotateShapeFor(std::string_view angleText) {
    if (angleText == "90" || angleText == "270") {
        return RotateShape::SquareOfWidth;
    }
    if (angleText == "180") {
        return RotateShape::HalfTurn;
    }
    return RotateShape::SquareOfDiagonal;
}

double RotationRadians(int degrees, bool clockwise) {
    const double a = degrees * kRotationPi / 180;
    return clockwise ? -a : a;
}

void RotateInto(PixelView source, PixelView dest, double angle, int threads,
                const std::atomic<bool>* running) {
    if (dest.empty()) {
        return;
    }
    const Plane src{source, Round(source.width / 2.0), Round(source.height / 2.0)};
    const Plane dst{dest, Round(dest.width / 2.0), Round(dest.height / 2.0)};
    const int m = dest.width < dest.height ? dest.width : dest.height;
    const int reach = Round(m / 2.0 - 1);
    const Turn turn{std::cos(angle), std::sin(angle), angle};
    auto stopped = [running] { return running != nullptr && !running->load(); };

    // Points on the axes (X = 0 or Y = 0) are written by more than one row:
    // they go first, in the routine's order. Every other point's four pixels
    // belong to it alone, so its rows can run on any core.
    for (int x = 0; x <= reach; ++x) {
        Visit(src, dst, turn, x, 0);
    }
    for (int y = 1; y <= reach; ++y) {
        Visit(src, dst, turn, 0, y);
    }
    // The rest in tiles, so that the writes that walk down a column stay in
    // cache; a core takes a band of rows at a time.
    constexpr int kTile = 32;
    std::atomic<int> next{0};
    auto worker = [&] {
        for (int band = next.fetch_add(1); 1 + band * kTile <= reach; band = next.fetch_add(1)) {
            const int y0 = 1 + band * kTile;
            RotateBand(src, dst, turn, y0, std::min(reach, y0 + kTile - 1), reach, kTile);
            if (stopped()) {
                return;
            }
        }
    };
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; ++i) {
        try {
            pool.emplace_back(worker);
        } catch (const std::system_error&) {
            break;
        }
    }
    worker();
    for (auto& t : pool) {
        t.join();
    }
}

std::optional<PixelBuffer> RotatePicture(PixelView source, std::string_view angleText,
                                         bool clockwise, std::uint32_t background, int threads,
                                         const std::atomic<bool>* running) {
    const std::optional<int> degrees = ParseRotationAngle(angleText);
    if (!degrees) {
        return std::nullopt;
    }
    const int w = source.empty() ? 0 : source.width;
    const int h = source.empty() ? 0 : source.height;
    const RotateShape shape = RotateShapeFor(angleText);
    if (shape == RotateShape::HalfTurn) {
        PixelBuffer out(w, h);
        if (!out.ok()) {
            return std::nullopt;
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                std::memcpy(out.view().pixel(x, y), source.pixel(w - 1 - x, h - 1 - y), 4);
            }
        }
        return out;
    }
    int side = w;
    if (shape == RotateShape::SquareOfDiagonal) {
        side = Round(std::sqrt(double(w) * w + double(h) * h));
    }
    PixelBuffer out(side, side, background);
    if (!out.ok()) {
        return std::nullopt;
    }
    RotateInto(source, out.view(), RotationRadians(*degrees, clockwise), threads, running);
    return out;
}

} // namespace fotello
