#pragma once
// libjpeg's own 1/8 decode, the reference the quick decoder must match.

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <jpeglib.h>
#include <vector>

namespace fotello::testing {

struct EighthPicture {
    int w = 0, h = 0;
    std::vector<std::uint32_t> pixels; // 0xffRRGGBB
};

// False when libjpeg gives up on the file (its warnings are not failures).
inline bool LibjpegEighth(const std::uint8_t* data, std::size_t size, EighthPicture& out) {
    struct Failure {
        jpeg_error_mgr base;
        std::jmp_buf jump;
    } failure{};
    jpeg_decompress_struct c{};
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
    out = {int(c.output_width), int(c.output_height), {}};
    row.resize(std::size_t(out.w) * 3);
    while (c.output_scanline < c.output_height) {
        JSAMPROW r = row.data();
        jpeg_read_scanlines(&c, &r, 1);
        for (std::size_t x = 0; x < std::size_t(out.w); ++x)
            out.pixels.push_back(0xFF000000u | unsigned(row[3 * x]) << 16 |
                                 unsigned(row[3 * x + 1]) << 8 | row[3 * x + 2]);
    }
    jpeg_destroy_decompress(&c);
    return true;
}

} // namespace fotello::testing
