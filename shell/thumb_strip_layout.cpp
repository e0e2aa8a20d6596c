#include "shell/thumb_strip_layout.h"

#include <algorithm>
#include <limits>

namespace fotello {

StripLayout LayOutStrip(const StripLayoutInput& in) {
    StripLayout out;
    out.scrollBarLeft = in.viewportWidth - in.scrollBarWidth;
    out.scrollBarHeight = in.viewportHeight;
    if (in.cellWidth <= 0)
        return out;
    // Floor division: a viewport narrower than the scroll bar gives no column.
    const int room = in.viewportWidth - in.scrollBarWidth;
    out.cols = room > 0 ? room / in.cellWidth : 0;
    if (out.cols <= 0)
        return out;
    out.ok = true;
    out.stripWidth = in.cellWidth * out.cols;
    const std::int64_t n = std::max(in.cellCount, 0);
    const std::int64_t rows = n / out.cols + (n % out.cols != 0 ? 1 : 0);
    out.stripHeight = rows * in.cellHeight;
    out.scrollMax = out.stripHeight - in.viewportHeight;
    if (out.scrollMax < 0) {
        out.scrollMax = 0;
        out.scrollEnabled = false;
    } else {
        out.scrollEnabled = true;
        out.smallChange = in.cellHeight;
        out.largeChange = in.viewportHeight;
    }
    return out;
}

CellPlace PlaceCell(int index, int cols, int cellWidth, int cellHeight) {
    if (cols <= 0)
        return {};
    return {static_cast<std::int64_t>(cellWidth) * (index % cols),
            static_cast<std::int64_t>(index / cols) * cellHeight};
}

CellRange CellsInBand(std::int64_t top, std::int64_t height, int cols, int cellHeight,
                      int cellCount) {
    if (cols <= 0 || cellHeight <= 0 || height <= 0 || cellCount <= 0)
        return {};
    const std::int64_t bottom = top + height; // exclusive
    const std::int64_t firstRow = std::max<std::int64_t>(0, top / cellHeight);
    const std::int64_t lastRow = (bottom - 1) / cellHeight; // inclusive
    if (bottom <= 0 || lastRow < firstRow)
        return {};
    const std::int64_t first = std::min<std::int64_t>(firstRow * cols, cellCount);
    const std::int64_t last = std::min<std::int64_t>((lastRow + 1) * cols, cellCount);
    return {static_cast<int>(first), static_cast<int>(last)};
}

} // namespace fotello
