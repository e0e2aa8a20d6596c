#pragma once
// Area-averaging (box) resampling of 32-bit pixels 0xAARRGGBB: every output
// pixel is the mean of the source area it covers, partly covered pixels
// weighted by the part covered. The alpha byte of the output is 0xFF.

#include <cstddef>
#include <cstdint>

namespace fotello {

struct PixelSpan {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0; // pixels from one row to the next
};

struct MutablePixelSpan {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

// Resamples src into the whole of dst. Nothing happens when either is empty.
void AreaAverage(const PixelSpan& src, const MutablePixelSpan& dst);
// The same over all four bytes, alpha too (for premultiplied pixels).
void AreaAverageWithAlpha(const PixelSpan& src, const MutablePixelSpan& dst);

} // namespace fotello
