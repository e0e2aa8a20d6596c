// libFuzzer target for the quick 1/8 JPEG decoder on any bytes: whatever it
// accepts it must decode within its buffers and exactly as libjpeg's own 1/8
// decode does (libjpeg must not refuse it either); whatever it refuses it
// refuses cleanly (the caller then hands the file to libjpeg).

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>

#include "platform/jpeg_eighth.h"

namespace {

struct Failure {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// libjpeg's 1/8 of the file, or nothing when libjpeg gives up on it.
bool Libjpeg(const std::uint8_t* data, std::size_t size, std::vector<std::uint32_t>& out, int w,
             int h) {
    jpeg_decompress_struct c{};
    Failure failure{};
    c.err = jpeg_std_error(&failure.base);
    failure.base.error_exit = [](j_common_ptr info) {
        std::longjmp(reinterpret_cast<Failure*>(info->err)->jump, 1);
    };
    failure.base.emit_message = [](j_common_ptr, int) {};
    jpeg_create_decompress(&c);
    std::vector<unsigned char> row;
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&c);
        return false;
    }
    jpeg_mem_src(&c, data, static_cast<unsigned long>(size));
    jpeg_read_header(&c, TRUE);
    c.scale_num = 1;
    c.scale_denom = 8;
    c.out_color_space = JCS_RGB;
    jpeg_start_decompress(&c);
    if (int(c.output_width) != w || int(c.output_height) != h)
        std::abort();
    row.resize(std::size_t(w) * 3);
    while (c.output_scanline < c.output_height) {
        JSAMPROW r = row.data();
        jpeg_read_scanlines(&c, &r, 1);
        for (int x = 0; x < w; ++x)
            out.push_back(0xFF000000u | unsigned(row[std::size_t(3 * x)]) << 16 |
                          unsigned(row[std::size_t(3 * x + 1)]) << 8 | row[std::size_t(3 * x + 2)]);
    }
    jpeg_destroy_decompress(&c);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fotello::JpegEighthDecoder decoder;
    if (!decoder.open(data, size))
        return 0;
    const int w = decoder.width(), h = decoder.height();
    if (w <= 0 || h <= 0)
        std::abort();
    // The reader's pixel cap keeps its callers far below this.
    if (std::int64_t(w) * h > (std::int64_t(1) << 20))
        return 0;
    // A stride wider than the picture: nothing may be written past a row.
    const std::size_t stride = std::size_t(w) + 1;
    std::vector<std::uint32_t> pixels(stride * std::size_t(h), 0);
    if (!decoder.decode(pixels.data(), std::ptrdiff_t(stride)))
        return 0;
    std::vector<std::uint32_t> want;
    if (!Libjpeg(data, size, want, w, h))
        std::abort(); // shown by us, refused by libjpeg
    for (int y = 0; y < h; ++y) {
        if (pixels[std::size_t(y) * stride + std::size_t(w)] != 0)
            std::abort();
        for (int x = 0; x < w; ++x)
            if (pixels[std::size_t(y) * stride + std::size_t(x)] !=
                want[std::size_t(y) * std::size_t(w) + std::size_t(x)])
                std::abort();
    }
    return 0;
}
