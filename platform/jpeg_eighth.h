#pragma once
// A photo's thumbnail at an eighth of its size, computed as libjpeg computes
// its 1/8 decode but without decoding what that decode throws away. Entropy
// decoding is almost all of a thumbnail's cost: a block that libjpeg reduces
// to one pixel needs only its DC coefficient, and its AC coefficients are
// stepped over with wide multi-symbol tables instead of being decoded one by
// one. Subsampled chroma that libjpeg reduces to 2x2 per block (4:2:0) is
// decoded whole and reduced the same way, so the result is libjpeg's to the
// bit.
//
// Only the common case is handled: Huffman-coded sequential 8-bit JPEG, one
// scan holding every component, greyscale or YCbCr, blocks reduced to 1x1 or
// 2x2. Anything else, and any damage, is refused so that the caller hands the
// file to libjpeg, which then decides as before what a damaged file shows.

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
    struct HuffCodes {
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
    HuffCodes dc_[4], ac_[4];
    std::int16_t quant_[4][64] = {}; // natural order, as libjpeg multiplies by them
    bool quantDefined_[4] = {};
};

} // namespace fotello
