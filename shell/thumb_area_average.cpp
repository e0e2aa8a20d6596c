#include "shell/thumb_area_average.h"

#include <algorithm>
#include <vector>

namespace fotello {

namespace {

// One output position's source interval: positions first..first+count-1 with
// their weights (the covered fraction of the interval, summing to 1).
struct Span {
    int first = 0;
    int count = 0;
    std::size_t weightIndex = 0;
};

struct Spans {
    std::vector<Span> spans;
    std::vector<float> weights;
};

// In units of 1/(dstLen * srcLen): output i covers [i*srcLen, (i+1)*srcLen)
// of source lengths dstLen each, so every overlap is an exact integer.
Spans MakeSpans(int srcLen, int dstLen) {
    Spans s;
    s.spans.resize(static_cast<std::size_t>(dstLen));
    for (int i = 0; i < dstLen; ++i) {
        const std::int64_t lo = std::int64_t(i) * srcLen;
        const std::int64_t hi = lo + srcLen;
        const int first = static_cast<int>(lo / dstLen);
        const int last = static_cast<int>((hi - 1) / dstLen);
        Span& sp = s.spans[static_cast<std::size_t>(i)];
        sp.first = first;
        sp.count = last - first + 1;
        sp.weightIndex = s.weights.size();
        for (int k = first; k <= last; ++k) {
            const std::int64_t a = std::max(lo, std::int64_t(k) * dstLen);
            const std::int64_t b = std::min(hi, std::int64_t(k + 1) * dstLen);
            s.weights.push_back(static_cast<float>(double(b - a) / double(srcLen)));
        }
    }
    return s;
}

inline std::uint32_t Channel(float v) {
    const int c = static_cast<int>(v + 0.5f);
    return static_cast<std::uint32_t>(std::clamp(c, 0, 255));
}

// Channels 3 (blue, green, red; alpha set to 0xFF) or 4 (all four averaged).
template <int N> void Average(const PixelSpan& src, const MutablePixelSpan& dst) {
    if (src.width <= 0 || src.height <= 0 || dst.width <= 0 || dst.height <= 0 || !src.pixels ||
        !dst.pixels)
        return;
    const Spans cols = MakeSpans(src.width, dst.width);
    const Spans rows = MakeSpans(src.height, dst.height);
    // One source-wide row of channel sums for the output row at hand.
    std::vector<float> acc(static_cast<std::size_t>(src.width) * N);

    for (int y = 0; y < dst.height; ++y) {
        std::fill(acc.begin(), acc.end(), 0.0f);
        const Span& rs = rows.spans[static_cast<std::size_t>(y)];
        for (int k = 0; k < rs.count; ++k) {
            const float w = rows.weights[rs.weightIndex + static_cast<std::size_t>(k)];
            const std::uint32_t* line = src.pixels + (rs.first + k) * src.stride;
            float* a = acc.data();
            for (int x = 0; x < src.width; ++x, a += N) {
                const std::uint32_t p = line[x];
                for (int c = 0; c < N; ++c)
                    a[c] += w * float((p >> (8 * c)) & 0xFF);
            }
        }
        std::uint32_t* out = dst.pixels + y * dst.stride;
        for (int x = 0; x < dst.width; ++x) {
            const Span& cs = cols.spans[static_cast<std::size_t>(x)];
            float sum[N] = {};
            const float* a = acc.data() + std::size_t(cs.first) * N;
            for (int k = 0; k < cs.count; ++k, a += N) {
                const float w = cols.weights[cs.weightIndex + static_cast<std::size_t>(k)];
                for (int c = 0; c < N; ++c)
                    sum[c] += w * a[c];
            }
            std::uint32_t pixel = N == 3 ? 0xFF000000u : 0u;
            for (int c = 0; c < N; ++c)
                pixel |= Channel(sum[c]) << (8 * c);
            out[x] = pixel;
        }
    }
}

} // namespace

void AreaAverage(const PixelSpan& src, const MutablePixelSpan& dst) {
    Average<3>(src, dst);
}

void AreaAverageWithAlpha(const PixelSpan& src, const MutablePixelSpan& dst) {
    Average<4>(src, dst);
}

} // namespace fotello
