#pragma once
// Reads a picture file's structure without decoding pixels: which kind it is
// (by content, never by name), the size its headers declare, and whether the
// data ends early. Lets the reader refuse bombs before anything is allocated
// and call a cut-off file truncated even where a decoder would draw it partly.

#include <cstdint>
#include <span>

namespace fotello {

enum class PictureKind { Unknown, Bmp, Jpeg, Gif, Ico, Cur, Png, Wmf };

struct PictureProbe {
    PictureKind kind = PictureKind::Unknown;
    // Largest raster the headers ask a decoder for (0 when not known yet).
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool truncated = false; // the data ends before the structure does
    bool invalid = false;   // the structure is broken in another way
    // Icons: the directory entry holding the largest picture.
    int bestIcon = 0;
    // JPEG: scans seen, and the coefficient buffers libjpeg holds for the whole
    // picture while it decodes a progressive or multi-scan file (0 otherwise),
    // whatever size the output is scaled to.
    int scans = 0;
    std::int64_t coefficientBytes = 0;
    // JPEG: the coefficients its scans go over, added up: the decoding work.
    std::int64_t scanCoefficients = 0;
    // Bytes per pixel of the decoder's own output before ours (16-bit PNGs: 8).
    int decodedPixelBytes = 4;

    // Saturates: two 32-bit sides from a hostile header overflow a signed product.
    std::int64_t pixels() const {
        if (width <= 0 || height <= 0)
            return 0;
        return width > INT64_MAX / height ? INT64_MAX : width * height;
    }
};

// Scans past this make a JPEG invalid: each one is a pass over the whole
// picture, so their count bounds the decoding work. libjpeg's progressive
// script has 10, jpegtran's and mozjpeg's at most a few dozen, and cameras
// write one; thousands are only ever made to stall a decoder.
inline constexpr int kMaxJpegScans = 100;
// And the work the scans add up to, counted in coefficients gone over: about
// two seconds of decoding, over ten scans of every coefficient of a 268 MP
// photo without chroma subsampling.
inline constexpr std::int64_t kMaxJpegScanCoefficients = std::int64_t(1) << 34;

PictureKind SniffPictureKind(std::span<const std::uint8_t> data);
PictureProbe ProbePicture(std::span<const std::uint8_t> data);

} // namespace fotello
