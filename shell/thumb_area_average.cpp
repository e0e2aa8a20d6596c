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

} // namespace

void AreaAverage(const PixelSpan& src, const MutablePixelSpan& dst) {
    if (src.width <= 0 || src.height <= 0 || dst.width <= 0 || dst.height <= 0 || !src.pixels ||
        !dst.pixels)
        return;
    const Spans cols = MakeSpans(src.width, dst.width);
    const Spans rows = MakeSpans(src.height, dst.height);
    // One source-wide row of blue, green, red sums for the output row at hand.
    std::vector<float> acc(static_cast<std::size_t>(src.width) * 3);

    for (int y = 0; y < dst.height; ++y) {
        std::fill(acc.begin(), acc.end(), 0.0f);
        const Span& rs = rows.spans[static_cast<std::size_t>(y)];
        for (int k = 0; k < rs.count; ++k) {
            const float w = rows.weights[rs.weightIndex + static_cast<std::size_t>(k)];
            const std::uint32_t* line = src.pixels + (rs.first + k) * src.stride;
            float* a = acc.data();
            for (int x = 0; x < src.width; ++x, a += 3) {
                const std::uint32_t p = line[x];
                a[0] += w * float(p & 0xFF);
                a[1] += w * float((p >> 8) & 0xFF);
                a[2] += w * float((p >> 16) & 0xFF);
            }
        }
        std::uint32_t* out = dst.pixels + y * dst.stride;
        for (int x = 0; x < dst.width; ++x) {
            const Span& cs = cols.spans[static_cast<std::size_t>(x)];
            float b = 0, g = 0, r = 0;
            const float* a = acc.data() + std::size_t(cs.first) * 3;
            for (int k = 0; k < cs.count; ++k, a += 3) {
                const float w = cols.weights[cs.weightIndex + static_cast<std::size_t>(k)];
                b += w * a[0];
                g += w * a[1];
                r += w * a[2];
            }
            out[x] = 0xFF000000u | (Channel(r) << 16) | (Channel(g) << 8) | Channel(b);
        }
    }
}

} // namespace fotello
