#pragma once
// Which part of the screen the magnifier copies onto its pane.

#include "shell/layout_rules.h"

namespace fotello {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

struct MagnifierCapture {
    Point centre; // kept for the next tick
    Rect source;  // in screen pixels; empty for a value of 0
};

// value: the scroll bar's 0..100; the source is value / 100 times the pane.
// Each axis takes the cursor as its centre only while the source stays on
// the screen that way; otherwise it keeps the previous centre, itself moved
// in to the edge when it would leave the screen.
MagnifierCapture MagnifierSource(Point cursor, Size screen, Size pane, int value,
                                 Point previousCentre);

} // namespace fotello
