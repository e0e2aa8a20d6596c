#pragma once
// Arithmetic of the thumbnail strip: the cells' grid, the strip's size and
// the scroll bar's range. Sizes are not limited to 16 bits.

#include <cstdint>

namespace fotello {

struct StripLayoutInput {
    int viewportWidth = 0; // inner size of the strip's viewport
    int viewportHeight = 0;
    int scrollBarWidth = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    int cellCount = 0; // cell 0 always counts, even hidden
};

struct StripLayout {
    // False when not even one column fits beside the scroll bar: the cells,
    // the strip and the scroll range keep what they had.
    bool ok = false;
    int scrollBarLeft = 0; // the scroll bar spans the viewport's right edge
    int scrollBarHeight = 0;
    int cols = 0;
    int stripWidth = 0;
    std::int64_t stripHeight = 0;
    std::int64_t scrollMax = 0; // 0 when everything is visible
    bool scrollEnabled = false;
    int smallChange = 0; // only meaningful when the scroll bar is enabled
    int largeChange = 0;
};

StripLayout LayOutStrip(const StripLayoutInput& in);

// Cell index's top-left corner in the strip, row by row in cols columns.
struct CellPlace {
    std::int64_t left = 0;
    std::int64_t top = 0;
    bool operator==(const CellPlace&) const = default;
};
CellPlace PlaceCell(int index, int cols, int cellWidth, int cellHeight);

// The first and one-past-last cell with any part in the rows from top to
// top + height of the strip (the strip's coordinates); an empty range when
// nothing is there.
struct CellRange {
    int first = 0;
    int last = 0;
};
CellRange CellsInBand(std::int64_t top, std::int64_t height, int cols, int cellHeight,
                      int cellCount);

} // namespace fotello
