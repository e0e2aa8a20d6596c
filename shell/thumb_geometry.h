#pragma once
// Arithmetic of one thumbnail: where the picture goes in its square box,
// its caption, and the build's progress figures and texts.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace fotello {

// The picture's place in the square box: (x, y) is its top-left corner,
// w x h its drawn size; the black frame lies one pixel outside it.
struct ThumbPlacement {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    bool operator==(const ThumbPlacement&) const = default;
};

// A picture of sw x sh in a box of side x side: kept at its size when it fits
// inside the frame, otherwise shrunk so its longer side fills the box less the
// frame (halves to even), and centred (floor). Sizes below zero become zero.
ThumbPlacement PlaceThumb(int side, int sw, int sh);

// Width of a UTF-8 text in pixels, in the strip's font.
using TextWidthFn = std::function<int(std::string_view utf8)>;

// The caption of a cell cellWidth pixels wide: the name as it is when it fits
// in cellWidth - 15 pixels, otherwise cut at its end, one character at a time,
// until it fits with "..." appended. Characters are whole code points.
std::string ShortenCaption(std::string_view name, int cellWidth, const TextWidthFn& width);

// Percent of a build after entry i of count: (i + 1) / count * 100 in single
// precision, rounded halves to even; 0 when count is not positive.
int ProgressPercent(int i, int count);

// The filled part of the progress bar: percent of the inner width, rounded.
int ProgressFillWidth(int percent, int innerWidth);

// Top of a text of textHeight centred in innerHeight, rounded halves to even.
int CentredTextTop(int innerHeight, int textHeight);

// The status text during a build: "Abrindo:  42 %".
std::string OpeningStatusText(int percent);

} // namespace fotello
