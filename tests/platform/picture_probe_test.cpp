// The structure probe: kinds by content, declared sizes, and every cut-off
// file reported as truncated.

#include <cstdint>
#include <gtest/gtest.h>
#include <span>

#include <QImage>

#include "platform/picture_probe.h"
#include "tests/platform/picture_test_support.h"
#include "tools/picture_makers.h"

namespace fotello {
namespace {

using namespace makers;
using testing::Bytes;
using testing::Le16;
using testing::Le32;

PictureProbe Probe(const QByteArray& bytes) {
    return ProbePicture(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                  std::size_t(bytes.size())));
}

struct Sample {
    const char* name;
    QByteArray bytes;
    PictureKind kind;
    int width, height;
    int firstCutChecked; // shorter prefixes may not even be recognisable
};

std::vector<Sample> Samples() {
    const QImage photo = testing::Halves(37, 21, Qt::red, Qt::blue);
    const QImage icon = testing::Halves(24, 16, Qt::green, Qt::transparent, QImage::Format_ARGB32);
    WmfWriter wmf(200, 100);
    wmf.setBrush(Qt::red);
    wmf.rectangle(QRect(10, 10, 50, 50));
    wmf.polygon({{0, 0}, {20, 0}, {10, 20}});
    return {
        {"bmp", EncodeBmp(photo), PictureKind::Bmp, 37, 21, 2},
        {"jpeg", EncodeJpeg(photo, 90, 6), PictureKind::Jpeg, 37, 21, 3},
        {"gif", EncodeGif({photo, photo.mirrored()}, {10, 10}), PictureKind::Gif, 37, 21, 6},
        {"ico", EncodeIco({icon, icon.scaled(48, 32)}), PictureKind::Ico, 48, 32, 6},
        {"cur", EncodeCur(icon, QPoint(3, 4)), PictureKind::Cur, 24, 16, 6},
        {"png", EncodePng(photo), PictureKind::Png, 37, 21, 8},
        {"wmf", wmf.finish(), PictureKind::Wmf, 0, 0, 4},
    };
}

TEST(PictureProbe, EveryKindByContentWithItsDeclaredSizeAndEveryCutTruncated) {
    for (const Sample& s : Samples()) {
        SCOPED_TRACE(s.name);
        const PictureProbe p = Probe(s.bytes);
        EXPECT_EQ(p.kind, s.kind);
        EXPECT_EQ(p.width, s.width);
        EXPECT_EQ(p.height, s.height);
        EXPECT_FALSE(p.truncated);
        EXPECT_FALSE(p.invalid);
        for (qsizetype n = s.firstCutChecked; n < s.bytes.size(); ++n)
            ASSERT_TRUE(Probe(TruncatedCopy(s.bytes, n)).truncated) << "cut at " << n;
    }
}

class PictureFolderTest : public testing::PictureFolder {};

// Hostile headers: sides near 2^32 must not wrap a product into something small.

QByteArray PngHeader(int w0, int w1, int w2, int w3, int h0, int h1, int h2, int h3) {
    return Bytes({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R', w0,
                  w1,   w2,  w3,  h0,  h1,   h2,   h3,   8,    2, 0, 0, 0,  0,   0,   0,   0}) +
           Bytes({0, 0, 0, 0, 'I', 'E', 'N', 'D', 0, 0, 0, 0});
}

// A BMP with an information header, a two-colour palette (blue, red) and the given pixel data.
QByteArray Bmp(int width, int height, int bits, int compression, const QByteArray& pixels) {
    const int start = 14 + 40 + 8;
    return "BM" + Le32(start + pixels.size()) + Le32(0) + Le32(start) + Le32(40) + Le32(width) +
           Le32(height) + Le16(1) + Le16(bits) + Le32(compression) + Le32(pixels.size()) + Le32(0) +
           Le32(0) + Le32(2) + Le32(0) + Bytes({0xFF, 0, 0, 0, 0, 0, 0xFF, 0}) + pixels;
}

// Run-length rows, bottom row first: 4 red then end of line; 4 blue then end of picture.
const QByteArray kRle8Rows = Bytes({4, 1, 0, 0, 4, 0, 0, 1});
const QByteArray kRle4Rows = Bytes({4, 0x11, 0, 0, 4, 0x00, 0, 1});

TEST_F(PictureFolderTest, RunLengthBmpsAreReadAndTheirCutsAreTruncated) {
    for (const auto& [bits, compression, rows] :
         {std::tuple{8, 1, kRle8Rows}, std::tuple{4, 2, kRle4Rows}}) {
        SCOPED_TRACE(bits);
        const QByteArray file = Bmp(4, 2, bits, compression, rows);
        const PictureProbe p = Probe(file);
        EXPECT_EQ(p.kind, PictureKind::Bmp);
        EXPECT_EQ(p.width, 4);
        EXPECT_EQ(p.height, 2);
        EXPECT_FALSE(p.truncated);
        EXPECT_FALSE(p.invalid);
        // Writers often leave the data size 0: the stream's end marker still counts.
        QByteArray unsized = file;
        unsized.replace(34, 4, Le32(0));
        for (const QByteArray& f : {file, unsized})
            for (qsizetype n = 2; n < f.size(); ++n)
                ASSERT_TRUE(Probe(TruncatedCopy(f, n)).truncated) << "cut at " << n;
        // The last row's end stands for the missing end marker.
        QByteArray noEnd = unsized;
        noEnd[noEnd.size() - 1] = 0;
        EXPECT_FALSE(Probe(noEnd).truncated);

        const PictureResult r = ReadPicture(write("rle.bmp", file));
        ASSERT_TRUE(r.ok()) << r.detail.toStdString();
        ASSERT_EQ(r.image.size(), QSize(4, 2));
        EXPECT_EQ(r.image.pixel(3, 1), qRgb(255, 0, 0)); // the bottom row comes first
        EXPECT_EQ(r.image.pixel(0, 0), qRgb(0, 0, 255));
    }
}

TEST(PictureProbe, IconEntriesOfEqualSizeTheFirstWins) {
    const QImage red = testing::Halves(16, 16, Qt::red, Qt::red, QImage::Format_ARGB32);
    const QImage blue = testing::Halves(16, 16, Qt::blue, Qt::blue, QImage::Format_ARGB32);
    EXPECT_EQ(Probe(EncodeIco({red, blue})).bestIcon, 0);
    EXPECT_EQ(Probe(EncodeIco({red, blue, blue.scaled(32, 32)})).bestIcon, 2);
    EXPECT_EQ(Probe(EncodeIco({red.scaled(8, 8), blue, red})).bestIcon, 1);
}

// Scans bound the decoding work: by their count, and by the coefficients
// they go over together; progressive ones need whole-picture buffers.
TEST(PictureProbe, JpegScansAreCountedAndBounded) {
    const struct {
        int side;
        bool colour;
        int scans;
        bool invalid;
        std::int64_t coefficientBytes;
        bool fullChroma = false;
    } cases[] = {
        {16, false, kMaxJpegScans, false, 2 * 2 * 128},
        {16, false, kMaxJpegScans + 1, true, -1},
        // Luma in 2048 x 2048 blocks, each chroma in 1024 x 1024, or 2048 x 2048.
        {16384, true, 10, false, (2048 * 2048 + 2 * 1024 * 1024) * std::int64_t(128)},
        {16384, true, 10, false, 3 * 2048 * 2048 * std::int64_t(128), true},
        // 65 passes over 2^28 grey coefficients are past the work bound.
        {16384, false, 65, true, -1},
        {16384, false, 64, false, 2048 * 2048 * std::int64_t(128)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.side << (c.colour ? " colour " : " grey ") << c.scans);
        const PictureProbe p =
            Probe(ProgressiveJpegBomb(c.side, c.side, c.colour, c.scans, c.fullChroma));
        EXPECT_EQ(p.width, c.side);
        EXPECT_EQ(p.invalid, c.invalid);
        EXPECT_FALSE(p.truncated);
        if (!c.invalid) {
            EXPECT_EQ(p.coefficientBytes, c.coefficientBytes);
        }
    }
    // A baseline file goes straight to its output, without such buffers.
    EXPECT_EQ(Probe(EncodeJpeg(testing::Halves(16, 16, Qt::red, Qt::blue))).coefficientBytes, 0);
}

// A metafile header without a placeable header, then the given records.
QByteArray Wmf(const QByteArray& records) {
    return Le16(1) + Le16(9) + Le16(0x300) + Le32(9 + records.size() / 2) + Le16(0) + Le32(3) +
           Le16(0) + records;
}
const QByteArray kEndRecord = Le32(3) + Le16(0);

// Hostile or odd structures. Fuzz seeds of the same forms guard against a
// probe that never returns.
TEST(PictureProbe, OddStructuresGetTheirVerdict) {
    const QImage photo = testing::Halves(16, 16, Qt::red, Qt::blue);
    const QByteArray jpeg = EncodeJpeg(photo), gif = EncodeGif({photo}, {5});
    const QByteArray trailer = QByteArray(100, '\0') + "camera trailer";
    const QByteArray hugePng = PngHeader(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF);
    // A 1 x 1 screen with a 3000 x 2000 frame: decoders grow the canvas.
    QByteArray wideFrame = EncodeGif({QImage(1, 1, QImage::Format_RGB32)}, {1});
    wideFrame.replace(wideFrame.indexOf(char(0x2C), 13) + 5, 4, Le16(3000) + Le16(2000));
    // Two entries: a 16 x 16 bitmap, then a PNG whose header asks for 2^32 - 1 squared.
    const QByteArray hugeIcon = Bytes({0, 0, 1, 0, 2, 0}) + Bytes({16, 16, 0, 0, 1, 0, 32, 0}) +
                                Le32(40) + Le32(38) + Bytes({0, 0, 0, 0, 1, 0, 32, 0}) +
                                Le32(hugePng.size()) + Le32(6 + 32 + 40) +
                                Bytes({40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 32, 0}) +
                                QByteArray(24, '\0') + hugePng;
    // 2^31 - 1 wide at 32 bits, 2^31 rows top-down: 2^64 - 2^33 bytes of pixels.
    const QByteArray endlessBmp = Bmp(0x7FFFFFFF, INT32_MIN, 32, 0, QByteArray(64, '\0'));
    constexpr std::int64_t kEndlessPixels = std::int64_t(0x7FFFFFFF) << 31;
    const QByteArray noScan = jpeg.left(jpeg.indexOf("\xFF\xDA")) + "\xFF\xD9";
    const QByteArray zeros(64, '\0');
    const struct {
        const char* name;
        QByteArray bytes;
        PictureKind kind;
        bool invalid, truncated;
        std::int64_t pixels;
    } cases[] = {
        {"text", "just some text\n", PictureKind::Unknown, true, false, 0},
        {"jpeg scan without a frame", QByteArray("\xFF\xD8\xFF\xDA\x00\x02\x00\xFF\xD9", 9),
         PictureKind::Jpeg, true, false, 0},
        {"jpeg ending before its scan", noScan, PictureKind::Jpeg, true, false, 256},
        {"jpeg, data after the end", jpeg + trailer, PictureKind::Jpeg, false, false, 256},
        {"gif, data after the end", gif + trailer, PictureKind::Gif, false, false, 256},
        {"gif, junk after the trailer", gif + "junk", PictureKind::Gif, false, false, 256},
        {"gif, junk for the trailer", gif.chopped(1) + "junk", PictureKind::Gif, false, false, 256},
        {"gif, junk for the frame", gif.left(gif.indexOf(char(0x2C), 13)) + "junk",
         PictureKind::Gif, true, false, 256},
        {"gif frame beyond the screen", wideFrame, PictureKind::Gif, false, false, 3000 * 2000},
        {"png, data after the end", EncodePng(photo) + trailer, PictureKind::Png, false, false,
         256},
        // Sides near 2^32 must not wrap a product into something small.
        {"png sides over 2^31", hugePng, PictureKind::Png, true, false, INT64_MAX},
        {"png without width", PngHeader(0, 0, 0, 0, 0, 0, 0, 5), PictureKind::Png, true, false, 0},
        {"png of 2^31 - 1 x 1", PngHeader(0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1), PictureKind::Png,
         false, false, 0x7FFFFFFF},
        {"icon entry with huge sides", hugeIcon, PictureKind::Ico, false, false, INT64_MAX},
        {"bmp rows past 2^64 bytes", endlessBmp, PictureKind::Bmp, false, true, kEndlessPixels},
        // Without a width nothing may divide by it.
        {"bmp without width", Bmp(0, 4, 1, 0, zeros), PictureKind::Bmp, true, false, 0},
        {"bmp without height", Bmp(4, 0, 24, 0, zeros), PictureKind::Bmp, true, false, 0},
        {"bmp of 1 x 1", Bmp(1, 1, 24, 0, zeros.left(4)), PictureKind::Bmp, false, false, 1},
        // A record of 0 words would never move the walk on.
        {"wmf record of 0 words", Wmf(Le32(0) + Le16(0x1E) + kEndRecord), PictureKind::Wmf, true,
         false, 0},
        {"wmf record of 2 words", Wmf(Le32(2) + Le16(0x1E) + kEndRecord), PictureKind::Wmf, true,
         false, 0},
        {"wmf record of 3 words", Wmf(Le32(3) + Le16(0x1E) + kEndRecord), PictureKind::Wmf, false,
         false, 0},
    };
    for (const auto& c : cases) {
        const PictureProbe p = Probe(c.bytes);
        EXPECT_EQ(p.kind, c.kind) << c.name;
        EXPECT_EQ(p.invalid, c.invalid) << c.name;
        EXPECT_EQ(p.truncated, c.truncated) << c.name;
        EXPECT_EQ(p.pixels(), c.pixels) << c.name;
    }
}

} // namespace
} // namespace fotello
