#include "view/zoom_rules.h"

#include <algorithm>
#include <cmath>

#include "shell/numbers.h"

namespace fotello {

namespace {

// The factor, cut so that neither side leaves [1, kMaxZoomSide].
double BoundedFactor(SizeF s, double f) {
    const double longest = std::max(s.width, s.height);
    const double shortest = std::min(s.width, s.height);
    if (f > 1 && longest * f > kMaxZoomSide)
        f = std::max(1.0, kMaxZoomSide / longest);
    if (f < 1 && shortest * f < 1)
        f = std::min(1.0, 1.0 / shortest);
    return f;
}

} // namespace

SizeF ZoomStep(SizeF size, double f) {
    if (!(size.width > 0 && size.height > 0) || !(f > 0))
        return size;
    f = BoundedFactor(size, f);
    SizeF out = size;
    out.height = static_cast<float>(out.height * f);
    out.width = static_cast<float>(out.width * f);
    out.width = std::clamp(out.width, 1.0f, kMaxZoomSide);
    out.height = std::clamp(out.height, 1.0f, kMaxZoomSide);
    return out;
}

Size Rounded(SizeF size) {
    return {static_cast<int>(RoundHalfEven(size.width)),
            static_cast<int>(RoundHalfEven(size.height))};
}

SizeF RatioSize(Size natural, int n) {
    const SizeF s{static_cast<float>(natural.width), static_cast<float>(natural.height)};
    if (n == 0 || n == 1 || n == -1)
        return s;
    return ZoomStep(s, n > 0 ? double(n) : 1.0 / -n);
}

ZoomPlace PlaceZoomed(Size picture, Size pane) {
    if (pane.height < picture.height || pane.width < picture.width)
        return {{0, 0}, 4};
    return {{CentredStart(pane.width, picture.width), CentredStart(pane.height, picture.height)},
            0};
}

Point CentredOnScreen(Size picture, Size screen) {
    return {CentredStart(screen.width, picture.width), CentredStart(screen.height, picture.height)};
}

} // namespace fotello
