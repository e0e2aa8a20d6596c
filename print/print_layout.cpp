#include "print/print_layout.h"

#include <algorithm>
#include <cmath>

#include "shell/numbers.h"

namespace fotello {

namespace {

constexpr double kMillimetresPerInch = 25.4;

// Half of a whole difference, rounded down (also for negative differences).
int HalfDown(int difference) {
    return static_cast<int>(std::floor(difference / 2.0));
}

// A sheet side in screen pixels: never negative, never beyond the largest paper.
int SheetSide(double v) {
    const double largest = MillimetresToScreen(kMaxPaperMm);
    return static_cast<int>(RoundHalfEven(std::clamp(v, 0.0, largest)));
}

std::int32_t RoundedMargin(double v) {
    const auto r = RoundToInt32(v);
    return r ? *r : 0;
}

} // namespace

bool PaperSideAccepted(double millimetres) {
    const auto r = RoundToInt16(millimetres);
    return r && *r >= kMinPaperMm && *r <= kMaxPaperMm;
}

std::optional<PaperMm> PaperSizeMm(std::int32_t paperSize, std::int16_t customWidth,
                                   std::int16_t customHeight) {
    switch (paperSize) {
    case kPaperCustom:
        return PaperMm{customWidth, customHeight};
    case kPaperA5:
        return PaperMm{148, 210};
    case kPaperA4:
        return PaperMm{210, 297};
    case kPaperA3:
        return PaperMm{297, 420};
    default:
        return std::nullopt;
    }
}

PrinterMargins MarginsFromDevice(double physicalWidth, double physicalHeight, double offsetX,
                                 double offsetY, double printableWidth, double printableHeight) {
    return {RoundedMargin(offsetX), RoundedMargin(offsetY),
            RoundedMargin(physicalWidth - (printableWidth + offsetX)),
            RoundedMargin(physicalHeight - (printableHeight + offsetY))};
}

SheetRect PicturePlace(std::int32_t align, int sheetWidth, int sheetHeight, int pictureWidth,
                       int pictureHeight) {
    const int dx = sheetWidth - pictureWidth;
    const int dy = sheetHeight - pictureHeight;
    int x = 0, y = 0;
    if (align >= 0 && align <= 8) {
        const int column = align % 3, row = align / 3;
        x = column == 0 ? 0 : column == 1 ? HalfDown(dx) : dx;
        y = row == 0 ? 0 : row == 1 ? HalfDown(dy) : dy;
    }
    return {x, y, pictureWidth, pictureHeight};
}

double MillimetresToScreen(double millimetres) {
    return millimetres * kScreenDpi / kMillimetresPerInch;
}

SheetLayout LayoutSheet(const SheetRequest& r) {
    SheetLayout out;
    const PrinterMargins& m = r.margins;
    const double q = kPrinterPixelsPerScreenPixel;
    out.width =
        SheetSide(MillimetresToScreen(r.paper.width) - (double(m.left) + double(m.right)) / q);
    out.height =
        SheetSide(MillimetresToScreen(r.paper.height) - (double(m.top) + double(m.bottom)) / q);
    out.border = PicturePlace(r.align, out.width, out.height, r.pictureWidth, r.pictureHeight);
    out.picture = r.stretch ? SheetRect{0, 0, out.width, out.height} : out.border;
    out.printed = {m.left, m.top, out.width * kPrinterPixelsPerScreenPixel,
                   out.height * kPrinterPixelsPerScreenPixel};
    return out;
}

} // namespace fotello
