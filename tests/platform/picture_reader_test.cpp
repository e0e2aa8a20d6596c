// ReadPicture on pictures of every kind, good and broken, drawn in the tests.

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include <QFile>
#include <QImageReader>

#include "tests/platform/picture_test_support.h"

namespace fotello {
namespace {

using namespace makers;
using testing::Halves;
using testing::Near;

class ReadPictureTest : public testing::PictureFolder {};

TEST_F(ReadPictureTest, ReadsEveryKindWithItsColours) {
    const QImage photo = Halves(64, 32, Qt::red, Qt::blue);
    const QImage icon = Halves(32, 32, Qt::green, Qt::transparent, QImage::Format_ARGB32);
    const QImage small = Halves(16, 16, Qt::red, Qt::red, QImage::Format_ARGB32);
    const QImage large = Halves(48, 48, Qt::blue, Qt::transparent, QImage::Format_ARGB32);
    WmfWriter wmf(120, 60);
    wmf.setNoPen();
    wmf.setBrush(Qt::red);
    wmf.rectangle(QRect(0, 0, 60, 60));
    wmf.setBrush(Qt::blue);
    wmf.rectangle(QRect(60, 0, 60, 60));
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255), clear = 0;
    struct Case {
        QString name;
        QByteArray bytes;
        QSize size;
        QRgb left, right; // right 0: transparent, the picture kept as ARGB32
    } const cases[] = {
        {"foto.bmp", EncodeBmp(photo), {64, 32}, red, blue},
        {"foto.jpg", EncodeJpeg(photo, 95), {64, 32}, red, blue},
        {"foto.png", EncodePng(photo), {64, 32}, red, blue},
        {"icone.ico", EncodeIco({icon}), {32, 32}, green, clear},
        {"seta.cur", EncodeCur(icon, {2, 2}), {32, 32}, green, clear},
        {"casa.wmf", wmf.finish(), {120, 60}, red, blue},
        // An animation gives its first frame; the second is all blue.
        {"relogio.gif",
         EncodeGif({Halves(64, 32, Qt::red, Qt::transparent, QImage::Format_ARGB32),
                    Halves(64, 32, Qt::blue, Qt::blue)},
                   {20, 20}),
         {64, 32},
         red,
         clear},
        // Icons show their largest picture, wherever it stands.
        {"varios.ico", EncodeIco({small, large, small}), {48, 48}, blue, clear},
        // The content decides the kind, not the name.
        {"png.jpg", EncodePng(photo), {64, 32}, red, blue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const PictureResult r = ReadPicture(write(c.name, c.bytes));
        ASSERT_TRUE(r.ok()) << r.detail.toStdString();
        EXPECT_EQ(r.image.size(), c.size);
        EXPECT_EQ(r.naturalSize, c.size);
        EXPECT_EQ(r.image.format(), c.right ? QImage::Format_RGB32 : QImage::Format_ARGB32);
        const int y = c.size.height() / 2;
        EXPECT_TRUE(Near(r.image.pixel(4, y), c.left)) << std::hex << r.image.pixel(4, y);
        if (c.right)
            EXPECT_TRUE(Near(r.image.pixel(c.size.width() - 4, y), c.right));
        else
            EXPECT_EQ(qAlpha(r.image.pixel(c.size.width() - 4, y)), 0);
    }
}

TEST_F(ReadPictureTest, BrokenFilesGiveTheirError) {
    QByteArray precision = EncodeJpeg(Halves(16, 16, Qt::red, Qt::blue));
    precision[precision.indexOf("\xFF\xC0") + 4] = 3; // 3-bit samples: libjpeg refuses
    // A BMP header of the given size with no pixel data.
    const auto header = [](int w, int h) {
        return BombBmp().replace(18, 8, testing::Le32(w) + testing::Le32(h));
    };
    const std::tuple<QString, QByteArray, PictureError> cases[] = {
        {"precisao.jpg", precision, PictureError::Invalid},
        // 16384 x 16384 is exactly the pixel cap: refused only for its missing data.
        {"cap.bmp", header(16384, 16384), PictureError::Truncated},
        {"over.bmp", header(16384, 16385), PictureError::TooLarge},
    };
    for (const auto& [name, bytes, error] : cases) {
        const PictureResult r = ReadPicture(write(name, bytes));
        EXPECT_EQ(r.error, error) << name.toStdString();
        EXPECT_TRUE(r.image.isNull()) << name.toStdString();
    }
}

TEST_F(ReadPictureTest, ADecodeNobodyWantsStops) {
    const QString p = write("foto.jpg", EncodeJpeg(Halves(640, 480, Qt::red, Qt::blue)));
    PictureReadOptions options;
    int polls = 0;
    options.stop = [&polls] { return ++polls > 1; };
    const PictureResult r = ReadPicture(p, options);
    EXPECT_EQ(r.error, PictureError::Invalid);
    EXPECT_EQ(r.detail, QStringLiteral("no longer wanted"));
    options.stop = [] { return false; };
    EXPECT_TRUE(ReadPicture(p, options).ok());
}

TEST_F(ReadPictureTest, CoverBoxPicksTheSmallestJpegReductionThatCoversIt) {
    const QImage photo = Halves(4000, 3000, Qt::red, Qt::blue);
    const QString wide = write("grande.jpg", EncodeJpeg(photo, 80));
    const QString tall = write("em-pe.jpg", EncodeJpeg(photo, 80, 6)); // shown 3000 x 4000
    const QString bmp = write("x.bmp", EncodeBmp(Halves(400, 300, Qt::red, Qt::blue)));
    struct Case {
        QString path;
        QSize box, want, natural;
    } const cases[] = {
        {wide, {80, 80}, {500, 375}, {4000, 3000}},       // 1/8
        {wide, {500, 375}, {500, 375}, {4000, 3000}},     // 1/8 covers it exactly
        {wide, {501, 375}, {1000, 750}, {4000, 3000}},    // one pixel more: 1/4
        {wide, {2000, 1500}, {2000, 1500}, {4000, 3000}}, // 1/2 exactly
        {wide, {3000, 3000}, {4000, 3000}, {4000, 3000}}, // nothing smaller covers it
        {tall, {400, 300}, {750, 1000}, {3000, 4000}},    // turned: red on top; 1/8 too small
        {bmp, {10, 10}, {400, 300}, {400, 300}},          // other kinds keep their size
    };
    for (const Case& c : cases) {
        PictureReadOptions thumb;
        thumb.coverBox = c.box;
        const PictureResult r = ReadPicture(c.path, thumb);
        ASSERT_TRUE(r.ok()) << c.path.toStdString();
        EXPECT_EQ(r.image.size(), c.want) << c.path.toStdString() << " in " << c.box.width();
        EXPECT_EQ(r.naturalSize, c.natural);
        EXPECT_TRUE(Near(r.image.pixel(10, 10), qRgb(255, 0, 0), 40));
    }
}

TEST_F(ReadPictureTest, HundredMegapixelPhotoOpensWhateverQtsLimitsSay) {
    QImage big(10000, 10000, QImage::Format_RGB32);
    big.fill(qRgb(30, 120, 200));
    const QString p = write("100mp.jpg", EncodeJpeg(big, 50));
    big = QImage();
    // Qt's default limit (128 MB) refuses this photo; so would a small
    // QT_IMAGEIO_MAXALLOC, which overrides whatever a program sets: a child
    // started with it opens the photo too.
    QImageReader::setAllocationLimit(128);
    const PictureResult r = ReadPicture(p);
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    EXPECT_EQ(r.image.size(), QSize(10000, 10000));
    EXPECT_TRUE(Near(r.image.pixel(9999, 9999), qRgb(30, 120, 200)));
    const std::string child = "QT_IMAGEIO_MAXALLOC=16 FOTELLO_LARGE_PHOTO='" + p.toStdString() +
                              "' '" + std::filesystem::read_symlink("/proc/self/exe").string() +
                              "' --gtest_filter=LargePhotoChild.*";
    EXPECT_EQ(std::system(child.c_str()), 0);
}

TEST(LargePhotoChild, Opens) {
    const QString p = qEnvironmentVariable("FOTELLO_LARGE_PHOTO");
    if (p.isEmpty())
        GTEST_SKIP() << "runs as a child of HundredMegapixelPhotoOpensWhateverQtsLimitsSay";
    EXPECT_TRUE(ReadPicture(p).ok());
}

// Decoders hold no state between calls: a picture read while others are is the same.
TEST_F(ReadPictureTest, ConcurrentReadsGiveTheSameResults) {
    const QImage image = Halves(64, 40, Qt::red, Qt::black);
    const QString files[] = {write("f.jpg", EncodeJpeg(image, 90)),
                             write("f.gif", EncodeGif({image, image.mirrored()}, {5, 5})),
                             write("t.jpg", TruncatedCopy(EncodeJpeg(image), 300))};
    std::vector<QImage> expected;
    for (const QString& f : files)
        expected.push_back(ReadPicture(f).image);
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 30; ++i)
                mismatches += ReadPicture(files[i % 3]).image != expected[i % 3];
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(mismatches, 0);
}

// Shares its checks with ReadPicture (the hostile corpus): what is refused
// hands no bytes on.
TEST_F(ReadPictureTest, CheckedBytesForAnimationsPassOnlyWholeSafeFiles) {
    const QImage frame = Halves(30, 20, Qt::red, Qt::blue);
    const QByteArray gif = EncodeGif({frame, frame.mirrored()}, {5, 5});
    const CheckedPictureBytes good = ReadCheckedPictureBytes(write("anima.gif", gif));
    ASSERT_EQ(good.error, PictureError::None);
    EXPECT_EQ(good.bytes, gif);
    EXPECT_EQ(good.probe.kind, PictureKind::Gif);
    const CheckedPictureBytes bomb = ReadCheckedPictureBytes(write("bomba.gif", BombGif()));
    EXPECT_EQ(bomb.error, PictureError::TooLarge);
    EXPECT_TRUE(bomb.bytes.isEmpty());
}

} // namespace
} // namespace fotello
