// The structure probe: kinds by content, declared sizes, and every cut-off
// file reported as truncated.

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <span>

#include <QImage>

#include "platform/picture_probe.h"
#include "tests/platform/picture_test_support.h"
#include "tools/picture_makers.h"

namespace fotello {
namespace {

using namespace makers;

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

TEST(PictureProbe, RecognisesEveryKindByContentWithItsDeclaredSize) {
    for (const Sample& s : Samples()) {
        SCOPED_TRACE(s.name);
        const PictureProbe p = Probe(s.bytes);
        EXPECT_EQ(p.kind, s.kind);
        EXPECT_EQ(p.width, s.width);
        EXPECT_EQ(p.height, s.height);
        EXPECT_FALSE(p.truncated);
        EXPECT_FALSE(p.invalid);
    }
}

TEST(PictureProbe, EveryCutOffPrefixIsTruncated) {
    for (const Sample& s : Samples()) {
        for (qsizetype n = s.firstCutChecked; n < s.bytes.size(); ++n) {
            const PictureProbe p = Probe(TruncatedCopy(s.bytes, n));
            ASSERT_TRUE(p.truncated) << s.name << " cut at " << n << " of " << s.bytes.size();
        }
    }
}

TEST(PictureProbe, DataAfterTheEndIsNotTruncation) {
    const QImage photo = testing::Halves(16, 16, Qt::red, Qt::blue);
    for (const QByteArray& file : {EncodeJpeg(photo), EncodeGif({photo}, {5}), EncodePng(photo)}) {
        const PictureProbe p = Probe(file + QByteArray(100, '\0') + "camera trailer");
        EXPECT_FALSE(p.truncated);
        EXPECT_FALSE(p.invalid);
    }
}

TEST(PictureProbe, GifFramesBeyondTheScreenCount) {
    // A 1 x 1 screen with a 3000 x 2000 frame: decoders grow the canvas.
    QByteArray gif = EncodeGif({QImage(1, 1, QImage::Format_RGB32)}, {1});
    const auto descriptor = gif.indexOf(char(0x2C), 13);
    ASSERT_GT(descriptor, 0);
    gif[descriptor + 5] = char(3000 & 0xFF);
    gif[descriptor + 6] = char(3000 >> 8);
    gif[descriptor + 7] = char(2000 & 0xFF);
    gif[descriptor + 8] = char(2000 >> 8);
    const PictureProbe p = Probe(gif);
    EXPECT_EQ(p.width, 3000);
    EXPECT_EQ(p.height, 2000);
}

TEST(PictureProbe, GarbageIsUnknownOrInvalid) {
    const PictureProbe text = Probe("just some text\n");
    EXPECT_EQ(text.kind, PictureKind::Unknown);
    EXPECT_TRUE(text.invalid);
    // A JPEG that ends at its first scan with no frame header.
    EXPECT_TRUE(Probe(QByteArray("\xFF\xD8\xFF\xDA\x00\x02\x00\xFF\xD9", 9)).invalid);
}

class PictureFolderTest : public testing::PictureFolder {};

// Hostile headers: sides near 2^32 must not wrap a product into something small.
QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

QByteArray PngHeader(int w0, int w1, int w2, int w3, int h0, int h1, int h2, int h3) {
    return Bytes({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R', w0,
                  w1,   w2,  w3,  h0,  h1,   h2,   h3,   8,    2, 0, 0, 0,  0,   0,   0,   0}) +
           Bytes({0, 0, 0, 0, 'I', 'E', 'N', 'D', 0, 0, 0, 0});
}

TEST(PictureProbe, PngSidesOutsideTheFormatAreRefused) {
    const PictureProbe huge = Probe(PngHeader(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF));
    EXPECT_EQ(huge.pixels(), INT64_MAX); // not a wrapped, negative count
    EXPECT_GT(huge.pixels(), kMaxPicturePixels);
    EXPECT_TRUE(huge.invalid);
    EXPECT_FALSE(huge.truncated);
    EXPECT_TRUE(Probe(PngHeader(0, 0, 0, 0, 0, 0, 0, 5)).invalid);
    const PictureProbe fine = Probe(PngHeader(0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1));
    EXPECT_FALSE(fine.invalid);
    EXPECT_EQ(fine.pixels(), 0x7FFFFFFF);
}

TEST(PictureProbe, IconEntryWithHugeSidesIsTheLargestNotANegativeOne) {
    // Two entries: a 16 x 16 bitmap, then a PNG whose header asks for 2^32 - 1 squared.
    const QByteArray png = PngHeader(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF);
    const int pngAt = 6 + 32 + 40;
    QByteArray ico = Bytes({0, 0, 1, 0, 2, 0});
    ico += Bytes({16, 16, 0, 0, 1, 0, 32, 0, 40, 0, 0, 0, 38, 0, 0, 0});
    ico += Bytes({0, 0, 0, 0, 1, 0, 32, 0, int(png.size()), 0, 0, 0, pngAt, 0, 0, 0});
    ico += Bytes({40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 32, 0}) + QByteArray(24, '\0');
    ico += png;
    const PictureProbe p = Probe(ico);
    EXPECT_EQ(p.kind, PictureKind::Ico);
    EXPECT_EQ(p.bestIcon, 1);
    EXPECT_GT(p.pixels(), kMaxPicturePixels);
}

TEST(PictureProbe, BmpRowsTimesHeightBeyond64BitsIsTruncated) {
    // 2^31 - 1 wide at 32 bits, 2^31 rows top-down: 2^64 - 2^33 bytes of pixels.
    const QByteArray bmp =
        Bytes({'B', 'M', 0, 0,    0,    0,    0,    0, 0, 0, 54,   0, 0, 0,  40,
               0,   0,   0, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0x80, 1, 0, 32, 0}) +
        QByteArray(24 + 64, '\0');
    const PictureProbe p = Probe(bmp);
    EXPECT_TRUE(p.truncated);
    EXPECT_FALSE(p.invalid);
    EXPECT_EQ(p.height, std::int64_t(1) << 31);
    EXPECT_GT(p.pixels(), kMaxPicturePixels);
}

// The probe on a worker: a probe that never returns fails the test program
// (the thread cannot be stopped) instead of hanging it.
PictureProbe ProbeEnding(const QByteArray& bytes) {
    auto done = std::async(std::launch::async, [bytes] { return Probe(bytes); });
    if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "the probe never returned";
        std::fflush(stdout);
        std::_Exit(1);
    }
    return done.get();
}

QByteArray Le16(int v) {
    return Bytes({v & 0xFF, (v >> 8) & 0xFF});
}
QByteArray Le32(qint64 v) {
    return Bytes(
        {int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int((v >> 24) & 0xFF)});
}

// A BMP with an information header, a two-colour palette (blue, red) and the given pixel data.
QByteArray Bmp(int width, int height, int bits, int compression, const QByteArray& pixels) {
    const int start = 14 + 40 + 8;
    return "BM" + Le32(start + pixels.size()) + Le32(0) + Le32(start) + Le32(40) + Le32(width) +
           Le32(height) + Le16(1) + Le16(bits) + Le32(compression) + Le32(pixels.size()) + Le32(0) +
           Le32(0) + Le32(2) + Le32(0) + Bytes({0xFF, 0, 0, 0, 0, 0, 0xFF, 0}) + pixels;
}

TEST(PictureProbe, BmpWithoutWidthIsRefusedWithoutDividingByIt) {
    for (int bits : {1, 8, 24, 32}) {
        const PictureProbe p = ProbeEnding(Bmp(0, 4, bits, 0, QByteArray(64, '\0')));
        EXPECT_TRUE(p.invalid) << bits;
        EXPECT_EQ(p.pixels(), 0);
    }
    EXPECT_TRUE(Probe(Bmp(4, 0, 24, 0, QByteArray(64, '\0'))).invalid);
    EXPECT_FALSE(Probe(Bmp(1, 1, 24, 0, QByteArray(4, '\0'))).invalid);
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

TEST(PictureProbe, GifJunkAfterFramesIsHarmlessJunkBeforeThemIsNot) {
    const QImage photo = testing::Halves(16, 16, Qt::red, Qt::blue);
    QByteArray gif = EncodeGif({photo}, {5});
    ASSERT_EQ(gif.back(), char(0x3B));
    for (const QByteArray& tail :
         {QByteArray("\x3B junk after the trailer"), QByteArray("junk in place of the trailer")}) {
        const PictureProbe p = Probe(gif.chopped(1) + tail);
        EXPECT_FALSE(p.invalid) << tail.constData();
        EXPECT_FALSE(p.truncated) << tail.constData();
        EXPECT_EQ(p.width, 16);
    }
    // The same junk where the first frame should start.
    const auto frame = gif.indexOf(char(0x2C), 13);
    ASSERT_GT(frame, 0);
    const PictureProbe before = Probe(gif.left(frame) + "junk");
    EXPECT_TRUE(before.invalid);
}

TEST_F(PictureFolderTest, IconEntriesOfEqualSizeTheFirstWins) {
    const QImage red = testing::Halves(16, 16, Qt::red, Qt::red, QImage::Format_ARGB32);
    const QImage blue = testing::Halves(16, 16, Qt::blue, Qt::blue, QImage::Format_ARGB32);
    EXPECT_EQ(Probe(EncodeIco({red, blue})).bestIcon, 0);
    EXPECT_EQ(Probe(EncodeIco({red, blue, blue.scaled(32, 32)})).bestIcon, 2);
    const QByteArray ico = EncodeIco({red.scaled(8, 8), blue, red});
    EXPECT_EQ(Probe(ico).bestIcon, 1);
    const PictureResult r = ReadPicture(write("dois.ico", ico));
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    EXPECT_EQ(r.image.pixel(8, 8), qRgb(0, 0, 255));
}

TEST(PictureProbe, JpegThatEndsWithoutAScanIsInvalid) {
    const QByteArray jpeg = EncodeJpeg(testing::Halves(16, 16, Qt::red, Qt::blue));
    const auto scan = jpeg.indexOf("\xFF\xDA");
    ASSERT_GT(scan, 0);
    const PictureProbe p = Probe(jpeg.left(scan) + "\xFF\xD9");
    EXPECT_EQ(p.width, 16) << "the frame header was read";
    EXPECT_TRUE(p.invalid);
    EXPECT_FALSE(p.truncated);
    EXPECT_FALSE(Probe(jpeg).invalid);
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

TEST(PictureProbe, WmfRecordsShorterThanTheirHeaderAreInvalid) {
    // A record of 0 words would never move the walk on.
    for (int words : {0, 1, 2}) {
        const PictureProbe p = ProbeEnding(Wmf(Le32(words) + Le16(0x1E) + kEndRecord));
        EXPECT_TRUE(p.invalid) << words;
    }
    const PictureProbe fine = Probe(Wmf(Le32(3) + Le16(0x1E) + kEndRecord));
    EXPECT_EQ(fine.kind, PictureKind::Wmf);
    EXPECT_FALSE(fine.invalid);
    EXPECT_FALSE(fine.truncated);
}

} // namespace
} // namespace fotello
