#include "shell/thumb_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "shell/numbers.h"

namespace fotello {

namespace {

int RoundedClamped(double v) {
    if (!(v > 0)) // also NaN
        return 0;
    const double r = RoundHalfEven(v);
    return r >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                : static_cast<int>(r);
}

int FloorHalf(int v) {
    return static_cast<int>(std::floor(v / 2.0));
}

// Start of the last code point of a non-empty UTF-8 text.
std::size_t LastCodePointStart(std::string_view s) {
    std::size_t i = s.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        --i;
    return i;
}

} // namespace

ThumbPlacement PlaceThumb(int side, int sw, int sh) {
    const int dw = side;
    const int dh = side;
    double ratio = 1.0;
    if (!(sw <= dw - 2 && sh <= dh - 2)) {
        if (sw > sh)
            ratio = sw > 0 ? static_cast<double>(dw - 2) / sw : 0.0;
        else
            ratio = sh > 0 ? static_cast<double>(dh - 2) / sh : 0.0;
    }
    ThumbPlacement p;
    p.w = RoundedClamped(sw * ratio);
    p.h = RoundedClamped(sh * ratio);
    p.x = FloorHalf(dw - p.w);
    p.y = FloorHalf(dh - p.h);
    return p;
}

std::string ShortenCaption(std::string_view name, int cellWidth, const TextWidthFn& width) {
    long limit = static_cast<long>(cellWidth) - 15;
    if (width(name) <= limit)
        return std::string(name);
    limit -= width("...");
    std::string_view kept = name;
    // An empty name has width 0; a cell too narrow for even that stops there.
    while (!kept.empty() && width(kept) > limit)
        kept = kept.substr(0, LastCodePointStart(kept));
    return std::string(kept) + "...";
}

int ProgressPercent(int i, int count) {
    if (count <= 0)
        return 0;
    const float fraction = static_cast<float>(i + 1) / static_cast<float>(count);
    const float percent = fraction * 100.0f;
    return static_cast<int>(RoundHalfEven(percent));
}

int ProgressFillWidth(int percent, int innerWidth) {
    return RoundedClamped(percent / 100.0 * innerWidth);
}

int CentredTextTop(int innerHeight, int textHeight) {
    return static_cast<int>(RoundHalfEven((innerHeight - textHeight) / 2.0));
}

std::string OpeningStatusText(int percent) {
    return "Abrindo:  " + std::to_string(percent) + " %";
}

} // namespace fotello
