// libFuzzer target for the quick 1/8 JPEG decoder on any bytes: whatever it
// accepts it must decode within its buffers and exactly as libjpeg's own 1/8
// decode does (libjpeg must not refuse it either); whatever it refuses it
// refuses cleanly (the caller then hands the file to libjpeg).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/jpeg_eighth.h"
#include "tests/support/libjpeg_eighth.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fotello::JpegEighthDecoder decoder;
    if (!decoder.open(data, size))
        return 0;
    const int w = decoder.width(), h = decoder.height();
    if (w <= 0 || h <= 0)
        std::abort();
    if (std::int64_t(w) * h > (std::int64_t(1) << 20)) // the reader's cap keeps far below this
        return 0;
    // A stride wider than the picture: nothing may be written past a row.
    const std::size_t stride = std::size_t(w) + 1;
    std::vector<std::uint32_t> pixels(stride * std::size_t(h), 0);
    if (!decoder.decode(pixels.data(), std::ptrdiff_t(stride)))
        return 0;
    fotello::testing::EighthPicture want;
    // Shown by us, so libjpeg must show it too, at the same size.
    if (!fotello::testing::LibjpegEighth(data, size, want) || want.w != w || want.h != h)
        std::abort();
    for (int y = 0; y < h; ++y) {
        if (pixels[std::size_t(y) * stride + std::size_t(w)] != 0)
            std::abort();
        for (int x = 0; x < w; ++x)
            if (pixels[std::size_t(y) * stride + std::size_t(x)] !=
                want.pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)])
                std::abort();
    }
    return 0;
}
