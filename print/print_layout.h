#pragma once
// The print sheet's arithmetic: paper sizes, the printer's unprintable
// margins, the sheet in screen pixels and where the picture sits on it.
// Screen pixels are 96 to the inch; the printer works at four times that, so
// a printer pixel is a quarter of a screen pixel.

#include <cstdint>
#include <optional>

namespace fotello {

inline constexpr int kScreenDpi = 96;
inline constexpr int kPrinterPixelsPerScreenPixel = 4;
inline constexpr int kPrinterDpi = kScreenDpi * kPrinterPixelsPerScreenPixel;

// The paper list's order: PaperSize is an index into it.
enum PaperSizeCode : std::int32_t { kPaperCustom = 0, kPaperA5 = 1, kPaperA4 = 2, kPaperA3 = 3 };

// A custom paper side outside this range is not taken (millimetres): the
// largest standard sheet (A0, 841 x 1189) fits, a sheet the size of a wall does not.
inline constexpr int kMinPaperMm = 1;
inline constexpr int kMaxPaperMm = 1200;
bool PaperSideAccepted(double millimetres);

struct PaperMm {
    std::int16_t width = 0;
    std::int16_t height = 0;
    friend bool operator==(const PaperMm&, const PaperMm&) = default;
};

// Width and height of the paper in millimetres; nothing for an unknown code.
std::optional<PaperMm> PaperSizeMm(std::int32_t paperSize, std::int16_t customWidth,
                                   std::int16_t customHeight);

// Unprintable margins in printer pixels.
struct PrinterMargins {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const PrinterMargins&, const PrinterMargins&) = default;
};

// From what the printer reports: the physical page, the offset of the
// printable area on it and the printable area's size (printer pixels).
PrinterMargins MarginsFromDevice(double physicalWidth, double physicalHeight, double offsetX,
                                 double offsetY, double printableWidth, double printableHeight);

struct SheetRect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const SheetRect&, const SheetRect&) = default;
};

// Where a picture of w x h sits on a sheet of W x H for the position code
// 0..8 (rows top, middle, bottom; columns left, centre, right); halves of a
// difference are rounded down, so a larger picture gets negative offsets.
// Any other code places it at the corner.
SheetRect PicturePlace(std::int32_t align, int sheetWidth, int sheetHeight, int pictureWidth,
                       int pictureHeight);

struct SheetRequest {
    PaperMm paper;
    PrinterMargins margins;
    int pictureWidth = 0, pictureHeight = 0;
    std::int32_t align = 4;
    bool stretch = false;
};

struct SheetLayout {
    int width = 0, height = 0; // the sheet, screen pixels (0 up to the largest paper's side)
    SheetRect picture;         // where the picture is painted
    SheetRect border;          // the border: where the picture sits at its own size
    // Where the sheet goes on the printed page, in printer pixels from the
    // paper's corner: inside the margins, at the sheet's own physical size.
    SheetRect printed;
};

// The sheet is the paper less the margins; the picture is placed by its
// position code, or covers the whole sheet when stretched.
SheetLayout LayoutSheet(const SheetRequest& request);

// Millimetres to screen pixels, unrounded.
double MillimetresToScreen(double millimetres);

} // namespace fotello
