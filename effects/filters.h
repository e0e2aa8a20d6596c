#pragma once
// The engine's filter routines, one per filter number. Each works on the job's
// picture in place, reading the untouched copy where its arithmetic asks for
// the neighbourhood as it was, and keeps the progress protocol.

#include "effects/filter_job.h"

namespace fotello::filters {

// Neighbourhood filters, in place (a pixel sees its left and upper neighbours
// already changed).
void Sharpen(const FilterJob& job);     // 1
void Blur(const FilterJob& job);        // 3
void Smooth(const FilterJob& job);      // 5
void EdgeEnhance(const FilterJob& job); // 6
void Emboss(const FilterJob& job);      // 8
void Engrave(const FilterJob& job);     // 10
// Neighbourhood filters reading the copy.
void Contour(const FilterJob& job);        // 7
void EmbossWide(const FilterJob& job);     // 9
void EngraveWide(const FilterJob& job);    // 11
void Relief(const FilterJob& job);         // 13
void Aqua(const FilterJob& job);           // 24
void Dilate(const FilterJob& job);         // 25
void Erode(const FilterJob& job);          // 26
void InverseContour(const FilterJob& job); // 27
// Colour and tone.
void Negative(const FilterJob& job);        // 2
void GreyScale(const FilterJob& job);       // 12
void Brightness(const FilterJob& job);      // 14
void ChannelExchange(const FilterJob& job); // 16
void Contrast(const FilterJob& job);        // 17
void ContrastStretch(const FilterJob& job); // 28
void Saturation(const FilterJob& job);      // 30
void Gamma(const FilterJob& job);           // 31
// Black and white.
void Threshold(const FilterJob& job);          // 18
void SharpenedDiffusion(const FilterJob& job); // 19
void OrderedDither(const FilterJob& job);      // 20
void FloydSteinberg(const FilterJob& job);     // 21
void Burkes(const FilterJob& job);             // 22
void Stucki(const FilterJob& job);             // 23
// Random and block.
void Diffuse(const FilterJob& job);  // 4
void Pixelize(const FilterJob& job); // 15
void Noise(const FilterJob& job);    // 29

// Shared helpers.
// The integer mean of (B + G + R) \ 3 over the picture `bits` (64-bit sum).
long long MeanGrey(const FilterJob& job, const std::uint8_t* bits);
// Contrast's spill: a channel outside 0..255 is put back in range and what it
// lost or gained is shared with the other two, until all three fit.
void SpillIntoRange(long long& a, long long& b, long long& c);
// Copies bytes blue, green, red of pixels x0..x1 from `computed` into `row`,
// keeping each pixel's unused byte.
void StoreKeepingUnused(std::uint8_t* row, const std::uint8_t* computed, int x0, int x1);
// Restores the unused byte of pixels x0..x1 of `row` from `original`.
void RestoreUnused(std::uint8_t* row, const std::uint8_t* original, int x0, int x1);
// The per-row figure of a plain pass: (y + 1) x 100 \ H.
inline auto PlainFigure(const FilterJob& job) {
    return [&job](int y) { return job.Figure(y); };
}

} // namespace fotello::filters
