#pragma once
// A photo's thumbnail at an eighth of its size, from its DC coefficients alone.
// Entropy decoding is almost all of a thumbnail's cost, and libjpeg decodes
// every AC coefficient's value even at 1/8 (its chroma needs some); stepping
// over them with wide multi-symbol tables is much faster. Grey and 4:4:4
// pictures come out exactly as libjpeg's 1/8 decode; subsampled chroma is
// taken from its DC too (half libjpeg's chroma resolution, invisible once
// reduced into a cell).
//
// Only the common case is handled: Huffman-coded sequential 8-bit JPEG, one
// scan holding every component, greyscale or YCbCr. Anything else, and any
// damage, is refused so that the caller hands the file to libjpeg, which then
// decides as before what a damaged file shows.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace fotello {

class JpegEighthDecoder {
public:
    // Reads the headers; false when the file is not one handled here.
    bool open(const unsigned char* data, std::size_t size);
    // Of the picture at 1/8: ceil(width / 8) x ceil(height / 8), as libjpeg.
    int width() const { return (width_ + 7) / 8; }
    int height() const { return (height_ + 7) / 8; }
    // Decodes into rows of 0xffRRGGBB `stride` pixels apart. False when the
    // data is damaged or `stop` said so (polled every few rows of blocks).
    bool decode(std::uint32_t* pixels, std::ptrdiff_t stride,
                const std::function<bool()>& stop = {});

    struct Component {
        int id = 0, h = 1, v = 1, quant = 0, dcTable = 0, acTable = 0;
        int frameIndex = 0; // colours follow the frame's order, blocks the scan's
    };
    // Huffman table as the file gives it; `defined` once read.
    struct HuffSpec {
        bool defined = false;
        std::uint8_t counts[17] = {};
        std::uint8_t symbols[256] = {};
    };

private:
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t scanStart_ = 0; // first byte of entropy-coded data
    int width_ = 0, height_ = 0;
    int restartInterval_ = 0;
    std::vector<Component> components_; // in scan order
    int maxH_ = 1, maxV_ = 1;
    bool grey_ = false;
    HuffSpec dc_[4], ac_[4];
    int dcQuant_[4] = {};
    bool quantDefined_[4] = {};
};

} // namespace fotello
