#include "view/magnifier_rules.h"

#include <algorithm>

#include "shell/numbers.h"

namespace fotello {

namespace {

struct Axis {
    int centre;
    int start;
    int length;
};

Axis axis(int cursor, int screen, int pane, double k, int previous) {
    const int length = static_cast<int>(RoundHalfEven(pane * k));
    const int half = length / 2;
    int centre = cursor - half >= 0 && cursor + half < screen ? cursor : previous;
    // A kept centre that would take the source off the screen (the first
    // tick's 0, or one from before the pane or the value changed) stops at
    // the edge too.
    if (centre - half < 0 || centre + half >= screen)
        centre =
            screen - 1 - 2 * half < 0 ? screen / 2 : std::clamp(centre, half, screen - 1 - half);
    return {centre, centre - half, length};
}

} // namespace

MagnifierCapture MagnifierSource(Point cursor, Size screen, Size pane, int value,
                                 Point previousCentre) {
    const double k = value / 100.0;
    const Axis x = axis(cursor.x, screen.width, pane.width, k, previousCentre.x);
    const Axis y = axis(cursor.y, screen.height, pane.height, k, previousCentre.y);
    return {{x.centre, y.centre}, {x.start, y.start, x.length, y.length}};
}

} // namespace fotello
