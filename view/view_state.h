#pragma once
// What the main window's viewing handlers keep between events.

#include <cstdint>

#include "view/zoom_rules.h"

namespace fotello {

struct ViewState {
    // The zoomed size of Image1 as floats, while Image1 still has its rounded value.
    SizeF zoom;
    Size zoomShown;
};

} // namespace fotello
