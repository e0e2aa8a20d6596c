// The DC-only 1/8 decoder against libjpeg's own 1/8 decode of the same files,
// written here by libjpeg with the layouts cameras and editors use.

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <optional>
#include <string>
#include <vector>

#include <QPainter>

#include "platform/jpeg_eighth.h"
#include "tests/platform/picture_test_support.h"
#include "tests/support/libjpeg_eighth.h"

namespace fotello {
namespace {

using Bytes = std::vector<unsigned char>;

struct Layout {
    int components = 3;
    int lumaH = 1, lumaV = 1; // chroma is always 1 x 1
    int quality = 90;
    int restart = 0; // MCUs per interval
    bool optimize = false, progressive = false, arithmetic = false, rgb = false,
         scanPerComponent = false;
};

// Gradients, edges and noise: every kind of AC run, long codes at high quality.
Bytes Encode(int w, int h, const Layout& l) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = l.components;
    c.in_color_space = l.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    if (l.rgb)
        jpeg_set_colorspace(&c, JCS_RGB);
    jpeg_set_quality(&c, l.quality, TRUE);
    c.comp_info[0].h_samp_factor = l.lumaH;
    c.comp_info[0].v_samp_factor = l.lumaV;
    c.restart_interval = unsigned(l.restart);
    c.optimize_coding = l.optimize;
    c.arith_code = l.arithmetic;
    if (l.progressive)
        jpeg_simple_progression(&c);
    static jpeg_scan_info perComponent[3] = {
        {1, {0}, 0, 63, 0, 0}, {1, {1}, 0, 63, 0, 0}, {1, {2}, 0, 63, 0, 0}};
    if (l.scanPerComponent) {
        c.scan_info = perComponent;
        c.num_scans = 3;
    }
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(std::size_t(w * l.components));
    unsigned seed = 12345;
    while (c.next_scanline < c.image_height) {
        const int y = int(c.next_scanline);
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < l.components; ++k) {
                seed = seed * 1103515245u + 12345u;
                const int noise = int(seed >> 27) - 16;
                const int edge = ((x / 13 + y / 7) % 3) * 60;
                row[std::size_t(x * l.components + k)] =
                    std::uint8_t(std::clamp(x * 255 / w / (k + 1) + edge + noise, 0, 255));
            }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

using Picture = testing::EighthPicture;

Picture Libjpeg(const Bytes& b) {
    Picture p;
    EXPECT_TRUE(testing::LibjpegEighth(b.data(), b.size(), p));
    return p;
}

// Ours, or nothing when refused.
std::optional<Picture> Eighth(const Bytes& b, const std::function<bool()>& stop = {}) {
    JpegEighthDecoder d;
    if (!d.open(b.data(), b.size()))
        return std::nullopt;
    Picture p{d.width(), d.height(), {}};
    p.pixels.resize(std::size_t(p.w) * std::size_t(p.h));
    if (!d.decode(p.pixels.data(), p.w, stop))
        return std::nullopt;
    return p;
}

TEST(JpegEighth, SameAsLibjpegsEighthToTheBit) {
    struct Case {
        const char* name;
        int w, h;
        Layout layout;
    } const cases[] = {
        {"grey", 203, 141, {.components = 1}},
        {"4:4:4", 203, 141, {}},
        {"4:4:4 quality 100, restarts", 203, 141, {.quality = 100, .restart = 3}},
        {"4:4:4 own tables", 160, 96, {.quality = 100, .optimize = true}},
        {"one pixel", 1, 1, {}},
        {"grey sampled 2x2 alone", 50, 33, {.components = 1, .lumaH = 2, .lumaV = 2}},
        {"4:2:0 restarts", 203, 141, {.lumaH = 2, .lumaV = 2, .restart = 5}},
        {"4:2:0 quality 100, own tables",
         203,
         141,
         {.lumaH = 2, .lumaV = 2, .quality = 100, .optimize = true}},
        {"4:2:2", 97, 61, {.lumaH = 2, .lumaV = 1}},
        {"4:4:0", 97, 61, {.lumaH = 1, .lumaV = 2, .quality = 60}},
        {"4:1:1", 97, 61, {.lumaH = 4, .lumaV = 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = Encode(c.w, c.h, c.layout);
        const Picture want = Libjpeg(file);
        const auto got = Eighth(file);
        ASSERT_TRUE(got);
        ASSERT_EQ(got->w, want.w);
        ASSERT_EQ(got->h, want.h);
        EXPECT_EQ(got->pixels, want.pixels);
    }
}

// Each refusal hands the file to libjpeg, which reads these as before.
TEST(JpegEighth, LeavesOtherLayoutsAndDamageToLibjpeg) {
    const Bytes good = Encode(64, 48, {.lumaH = 2, .lumaV = 2, .restart = 2});
    ASSERT_TRUE(Eighth(good));
    auto endedAt = [](Bytes b, std::size_t at) {
        b.resize(at);
        b.insert(b.end(), {0xFF, 0xD9});
        return b;
    };
    const Bytes plain = Encode(64, 48, {});
    const Bytes cut = endedAt(plain, plain.size() - 300); // a scan that stops early
    // The first of three scans alone, as if the file were only grey.
    const Bytes threeScans = Encode(64, 48, {.scanPerComponent = true});
    std::size_t afterFirstScan = 0; // where the next scan's tables start
    for (std::size_t i = 0, scans = 0; i + 1 < threeScans.size() && !afterFirstScan; ++i)
        if (threeScans[i] == 0xFF && threeScans[i + 1] == 0xDA)
            ++scans;
        else if (scans == 1 && threeScans[i] == 0xFF && threeScans[i + 1] == 0xC4)
            afterFirstScan = i;
    Bytes reordered = plain; // the scan lists Cb before Y
    for (std::size_t i = 0; i + 9 < reordered.size(); ++i)
        if (reordered[i] == 0xFF && reordered[i + 1] == 0xDA) {
            std::swap(reordered[i + 5], reordered[i + 7]);
            std::swap(reordered[i + 6], reordered[i + 8]);
            break;
        }
    // A Huffman table whose codes overflow: two of length 1 taken from longer ones.
    Bytes overfull = plain;
    for (std::size_t i = 0; i + 20 < overfull.size(); ++i)
        if (overfull[i] == 0xFF && overfull[i + 1] == 0xC4) {
            unsigned char* counts = &overfull[i + 5];
            for (int l = 15; l > 0 && counts[0] < 2; --l)
                while (counts[l] > 0 && counts[0] < 2) {
                    --counts[l];
                    ++counts[0];
                }
            break;
        }
    Bytes renumbered = good; // the second restart marker says RST0 again
    int seen = 0;
    for (std::size_t i = 0; i + 1 < renumbered.size(); ++i)
        if (renumbered[i] == 0xFF && (renumbered[i + 1] & 0xF8) == 0xD0 && ++seen == 2)
            renumbered[i + 1] = 0xD0;
    Bytes junk = good; // another marker inside the scan
    junk.insert(junk.end() - 2, {0xFF, 0xE1, 0x00, 0x02});
    struct Case {
        const char* name;
        Bytes file;
    } const cases[] = {
        {"progressive", Encode(64, 48, {.progressive = true})},
        {"arithmetic", Encode(64, 48, {.arithmetic = true})},
        {"RGB-coded", Encode(64, 48, {.rgb = true})},
        {"a scan per component", threeScans},
        {"first of three scans", endedAt(threeScans, afterFirstScan)},
        {"over-full Huffman table", overfull},
        {"headers only", Bytes(good.begin(), good.begin() + 200)},
        {"no end marker", Bytes(good.begin(), good.end() - 2)},
        {"scan too short", cut},
        {"restart out of order", renumbered},
        {"marker inside the scan", junk},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(Eighth(c.file)) << c.name;
    EXPECT_FALSE(Eighth(good, [] { return true; })) << "stopped";
    // libjpeg refuses a scan out of the frame's order from its headers alone
    JpegEighthDecoder headers;
    EXPECT_FALSE(headers.open(reordered.data(), reordered.size()));
}

class JpegEighthRead : public testing::PictureFolder {};

TEST_F(JpegEighthRead, EveryOrientationAsLibjpegsPath) {
    // Four quadrants of their own colour: every turn and mirror shows.
    QImage quadrants = testing::Halves(400, 240, Qt::red, Qt::blue);
    QPainter(&quadrants).fillRect(0, 120, 400, 120, Qt::green);
    QPainter(&quadrants).fillRect(200, 120, 200, 120, Qt::yellow);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QString path = write(QStringLiteral("foto%1.jpg").arg(orientation),
                                   makers::EncodeJpeg(quadrants, 90, orientation));
        PictureReadOptions quick, usual;
        quick.coverBox = usual.coverBox = {20, 20};
        quick.quickEighth = true;
        const PictureResult a = ReadPicture(path, quick), b = ReadPicture(path, usual);
        ASSERT_TRUE(a.ok() && b.ok());
        EXPECT_EQ(a.image.size(), orientation >= 5 ? QSize(30, 50) : QSize(50, 30));
        EXPECT_EQ(a.naturalSize, b.naturalSize);
        EXPECT_EQ(a.image, b.image);
    }
}

} // namespace
} // namespace fotello
