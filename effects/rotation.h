#pragma once
// Rotation of a picture by a whole angle, nearest neighbour, by destination
// pixel, four quadrants at once; and the sizing of the result.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string_view>

#include "effects/pixel_buffer.h"

namespace fotello {

inline constexpr double kRotationPi = 3.14159265359;
// What shows where no source pixel lands: a picture box's default background
// (the light grey of buttons), 0x00BBGGRR.
inline constexpr std::uint32_t kRotateBackground = 0x00F0F0F0;

enum class RotateShape {
    SquareOfWidth,    // "90", "270": a square whose side is the picture's width
    HalfTurn,         // "180": the picture's own size
    SquareOfDiagonal, // any other angle: a square of the picture's diagonal
};

// The angle text as typed: digits only, 0 to 360. Nothing when it is not.
std::optional<int> ParseRotationAngle(std::string_view text);
RotateShape RotateShapeFor(std::string_view angleText);
// degrees x pi / 180, negated for "Horário" (clockwise).
double RotationRadians(int degrees, bool clockwise);

// The routine: for X, Y = 0..R (R = round(min(dest w, h) / 2 - 1)) each of the
// four quadrant points takes the source colour at the turned offset; pixels
// whose source point lies outside, and those beyond the square, are left as
// they were. Rows of Y may run on several threads; `running` is tested after
// every row, and a false stops the routine.
void RotateInto(PixelView source, PixelView dest, double angle, int threads = 1,
                const std::atomic<bool>* running = nullptr);

// The source offset (u, v) the routine takes for quadrant point (X, Y); the
// plain formula, exactly as written (tests hold the fast path to it).
void RotationOffsetExact(int x, int y, double angle, int& u, int& v);

// Rotate as the dialog runs it: sizes the result by the angle text, fills it
// with `background` (0x00BBGGRR), then runs the routine. "180" gives the whole
// picture turned half round. Nothing when the text is not an angle 0..360 or
// the memory is not there.
std::optional<PixelBuffer> RotatePicture(PixelView source, std::string_view angleText,
                                         bool clockwise, std::uint32_t background, int threads = 1,
                                         const std::atomic<bool>* running = nullptr);

} // namespace fotello
