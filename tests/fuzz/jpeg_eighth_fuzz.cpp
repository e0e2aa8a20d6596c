// libFuzzer target for the quick 1/8 JPEG decoder on any bytes: whatever it
// accepts it must decode within its buffers, whatever it refuses it refuses
// cleanly (the caller then hands the file to libjpeg).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/jpeg_eighth.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fotello::JpegEighthDecoder decoder;
    if (!decoder.open(data, size))
        return 0;
    const int w = decoder.width(), h = decoder.height();
    if (w <= 0 || h <= 0)
        std::abort();
    // The reader's pixel cap keeps its callers far below this.
    if (std::int64_t(w) * h > (std::int64_t(1) << 22))
        return 0;
    // A stride wider than the picture: nothing may be written past a row.
    std::vector<std::uint32_t> pixels(std::size_t(w + 1) * std::size_t(h), 0);
    const bool ok = decoder.decode(pixels.data(), w + 1);
    for (int y = 0; y < h; ++y)
        if (pixels[std::size_t(y) * std::size_t(w + 1) + std::size_t(w)] != 0 ||
            (ok && pixels[std::size_t(y) * std::size_t(w + 1)] >> 24 != 0xFF))
            std::abort();
    return 0;
}
