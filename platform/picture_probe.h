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

    // Saturates: two 32-bit sides from a hostile header overflow a signed product.
    std::int64_t pixels() const {
        if (width <= 0 || height <= 0)
            return 0;
        return width > INT64_MAX / height ? INT64_MAX : width * height;
    }
};

PictureKind SniffPictureKind(std::span<const std::uint8_t> data);
PictureProbe ProbePicture(std::span<const std::uint8_t> data);

} // namespace fotello
