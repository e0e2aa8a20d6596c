#pragma once
// Arithmetic of zooming a picture in the preview and the full-screen view.
// Sizes are kept in floats between steps so that a step in and a step out
// give back the size before them; the control takes them rounded.

#include "shell/layout_rules.h"

namespace fotello {

inline constexpr double kZoomFactor = 1.3;

// The largest side a zoomed control may take. X11 keeps window and drawable
// sizes and coordinates in 16 bits; a step past it is clamped to it.
inline constexpr float kMaxZoomSide = 32767.0f;

struct SizeF {
    float width = 0;
    float height = 0;
    bool operator==(const SizeF&) const = default;
};

// One step: height times f, then width times f. A step that would take a side
// past kMaxZoomSide or under one pixel is cut to the factor that meets that
// bound on its first side, keeping the proportions; an empty size stays empty.
SizeF ZoomStep(SizeF size, double f);

// Whole pixels, halves to even.
Size Rounded(SizeF size);

// n : 1 (n > 0) or 1 : -n (n < 0) of the natural size, within the same bounds.
SizeF RatioSize(Size natural, int n);

// Where a zoomed picture goes in the preview pane, and the host's ScrollMode:
// centred (0) when it fits both ways, else at the top-left corner (4).
struct ZoomPlace {
    Point position;
    int scrollMode = 0;
    bool operator==(const ZoomPlace&) const = default;
};
ZoomPlace PlaceZoomed(Size picture, Size pane);

// Where the full-screen view puts a picture: centred on the screen, cut on
// every side when larger.
Point CentredOnScreen(Size picture, Size screen);

} // namespace fotello
