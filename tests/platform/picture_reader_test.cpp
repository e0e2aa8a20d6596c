// ReadPicture on pictures of every kind, good and broken, drawn in the tests.

#include <atomic>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include <QImageReader>

#include "tests/platform/picture_test_support.h"

extern char** environ;

namespace fotello {
namespace {

using namespace makers;
using testing::Halves;
using testing::Near;

class ReadPictureTest : public testing::PictureFolder {};

TEST_F(ReadPictureTest, ReadsEveryKindWithItsColours) {
    const QImage photo = Halves(64, 32, Qt::red, Qt::blue);
    QImage icon = Halves(32, 32, Qt::green, Qt::transparent, QImage::Format_ARGB32);
    WmfWriter wmf(120, 60);
    wmf.setNoPen();
    wmf.setBrush(Qt::red);
    wmf.rectangle(QRect(0, 0, 60, 60));
    wmf.setBrush(Qt::blue);
    wmf.rectangle(QRect(60, 0, 60, 60));
    struct Case {
        QString name;
        QByteArray bytes;
        QSize size;
        QRgb left, right;
        QImage::Format format;
    } cases[] = {
        {"foto.bmp",
         EncodeBmp(photo),
         {64, 32},
         qRgb(255, 0, 0),
         qRgb(0, 0, 255),
         QImage::Format_RGB32},
        {"foto.jpg",
         EncodeJpeg(photo, 95),
         {64, 32},
         qRgb(255, 0, 0),
         qRgb(0, 0, 255),
         QImage::Format_RGB32},
        {"foto.png",
         EncodePng(photo),
         {64, 32},
         qRgb(255, 0, 0),
         qRgb(0, 0, 255),
         QImage::Format_RGB32},
        {"icone.ico", EncodeIco({icon}), {32, 32}, qRgb(0, 255, 0), 0, QImage::Format_ARGB32},
        {"seta.cur", EncodeCur(icon, {2, 2}), {32, 32}, qRgb(0, 255, 0), 0, QImage::Format_ARGB32},
        {"casa.wmf",
         wmf.finish(),
         {120, 60},
         qRgb(255, 0, 0),
         qRgb(0, 0, 255),
         QImage::Format_RGB32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const PictureResult r = ReadPicture(write(c.name, c.bytes));
        ASSERT_TRUE(r.ok()) << r.detail.toStdString();
        EXPECT_EQ(r.image.size(), c.size);
        EXPECT_EQ(r.naturalSize, c.size);
        EXPECT_EQ(r.image.format(), c.format);
        const int y = c.size.height() / 2;
        EXPECT_TRUE(Near(r.image.pixel(4, y), c.left)) << std::hex << r.image.pixel(4, y);
        if (c.format == QImage::Format_ARGB32)
            EXPECT_EQ(qAlpha(r.image.pixel(c.size.width() - 4, y)), 0);
        else
            EXPECT_TRUE(Near(r.image.pixel(c.size.width() - 4, y), c.right));
    }
}

TEST_F(ReadPictureTest, AnimatedGifGivesItsFirstFrame) {
    const QImage first = Halves(40, 30, Qt::red, Qt::yellow, QImage::Format_ARGB32);
    const QImage second = Halves(40, 30, Qt::blue, Qt::blue);
    QImage clear = first;
    clear.setPixel(39, 29, qRgba(0, 0, 0, 0));
    const PictureResult r = ReadPicture(write("relogio.gif", EncodeGif({clear, second}, {20, 20})));
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    EXPECT_EQ(r.image.size(), QSize(40, 30));
    EXPECT_EQ(r.image.format(), QImage::Format_ARGB32);
    EXPECT_TRUE(Near(r.image.pixel(5, 5), qRgb(255, 0, 0), 0));
    EXPECT_TRUE(Near(r.image.pixel(30, 5), qRgb(255, 255, 0), 0));
    EXPECT_EQ(qAlpha(r.image.pixel(39, 29)), 0);
}

TEST_F(ReadPictureTest, IconsShowTheirLargestPicture) {
    QImage small(16, 16, QImage::Format_ARGB32), large(48, 48, QImage::Format_ARGB32);
    small.fill(Qt::red);
    large.fill(Qt::blue);
    const PictureResult r = ReadPicture(write("varios.ico", EncodeIco({small, large})));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.image.size(), QSize(48, 48));
    EXPECT_TRUE(Near(r.image.pixel(20, 20), qRgb(0, 0, 255), 0));
}

TEST_F(ReadPictureTest, ContentDecidesTheKindNotTheName) {
    const QImage photo = Halves(20, 10, Qt::red, Qt::blue);
    for (const auto& [name, bytes] :
         {std::pair{"png.jpg", EncodePng(photo)}, std::pair{"jpeg.bmp", EncodeJpeg(photo)},
          std::pair{"bmp.gif", EncodeBmp(photo)}}) {
        const PictureResult r = ReadPicture(write(name, bytes));
        EXPECT_TRUE(r.ok()) << name;
        EXPECT_EQ(r.image.size(), QSize(20, 10)) << name;
    }
}

TEST_F(ReadPictureTest, BrokenFilesAreInvalid) {
    EXPECT_EQ(ReadPicture(write("vazio.jpg", {})).error, PictureError::Invalid);
    EXPECT_EQ(ReadPicture(write("texto.jpg", "isto não é uma foto\n")).error,
              PictureError::Invalid);
    EXPECT_EQ(ReadPicture(write("lixo.bmp", QByteArray(5000, '\x5A'))).error,
              PictureError::Invalid);
    // A complete JPEG structure with nonsense inside.
    QByteArray jpeg = EncodeJpeg(Halves(16, 16, Qt::red, Qt::blue));
    const auto sof = jpeg.indexOf("\xFF\xC0");
    jpeg[sof + 4] = 3; // 3-bit samples: libjpeg refuses
    EXPECT_EQ(ReadPicture(write("precisao.jpg", jpeg)).error, PictureError::Invalid);
}

TEST_F(ReadPictureTest, CutOffFilesOfEveryKindAreTruncated) {
    const QImage photo = Halves(300, 200, Qt::red, Qt::blue);
    const QImage icon = Halves(32, 32, Qt::green, Qt::transparent, QImage::Format_ARGB32);
    WmfWriter wmf(100, 100);
    wmf.rectangle(QRect(10, 10, 20, 20));
    for (const auto& [name, bytes] :
         {std::pair{"a.jpg", EncodeJpeg(photo)},
          std::pair{"a.gif", EncodeGif({photo, photo}, {5, 5})},
          std::pair{"a.bmp", EncodeBmp(photo)}, std::pair{"a.ico", EncodeIco({icon})},
          std::pair{"a.cur", EncodeCur(icon, {0, 0})}, std::pair{"a.wmf", wmf.finish()}}) {
        for (double part : {0.3, 0.9}) {
            const PictureResult r =
                ReadPicture(write(name, TruncatedCopy(bytes, qsizetype(bytes.size() * part))));
            EXPECT_EQ(r.error, PictureError::Truncated) << name << " at " << part;
            EXPECT_TRUE(r.image.isNull());
        }
    }
}

TEST_F(ReadPictureTest, BombsAreRefusedBeforeDecoding) {
    for (const auto& [name, bytes] :
         {std::pair{"bomba.bmp", BombBmp()}, std::pair{"bomba.gif", BombGif()},
          std::pair{"bomba.jpg", BombJpeg()}, std::pair{"bomba.ico", BombIco()}}) {
        const PictureResult r = ReadPicture(write(name, bytes));
        EXPECT_EQ(r.error, PictureError::TooLarge) << name;
    }
}

TEST_F(ReadPictureTest, PixelCapSitsBetweenTheCapAndOneRowMore) {
    auto header = [](int w, int h) {
        QByteArray bmp = BombBmp();
        for (int i = 0; i < 4; ++i) {
            bmp[18 + i] = char((w >> (8 * i)) & 0xFF);
            bmp[22 + i] = char((h >> (8 * i)) & 0xFF);
        }
        return bmp;
    };
    // 16384 x 16384 is exactly the cap: refused only for its missing data.
    EXPECT_EQ(ReadPicture(write("cap.bmp", header(16384, 16384))).error, PictureError::Truncated);
    EXPECT_EQ(ReadPicture(write("over.bmp", header(16384, 16385))).error, PictureError::TooLarge);
}

TEST_F(ReadPictureTest, ExifOrientationIsApplied) {
    // Stored 40 x 20, red left; orientation 6 turns it a quarter clockwise.
    const QString p = write("girada.jpg", EncodeJpeg(Halves(40, 20, Qt::red, Qt::blue), 95, 6));
    const PictureResult turned = ReadPicture(p);
    ASSERT_TRUE(turned.ok());
    EXPECT_EQ(turned.image.size(), QSize(20, 40));
    EXPECT_EQ(turned.naturalSize, QSize(20, 40));
    EXPECT_TRUE(Near(turned.image.pixel(10, 5), qRgb(255, 0, 0), 40));
    EXPECT_TRUE(Near(turned.image.pixel(10, 35), qRgb(0, 0, 255), 40));

    PictureReadOptions asStored;
    asStored.applyOrientation = false;
    const PictureResult stored = ReadPicture(p, asStored);
    ASSERT_TRUE(stored.ok());
    EXPECT_EQ(stored.image.size(), QSize(40, 20));
    EXPECT_EQ(stored.naturalSize, QSize(40, 20));
}

TEST_F(ReadPictureTest, ThumbnailsDecodeJpegAtTheSmallestCoveringReduction) {
    const QString p = write("grande.jpg", EncodeJpeg(Halves(4000, 3000, Qt::red, Qt::blue), 80));
    PictureReadOptions thumb;
    thumb.coverBox = QSize(80, 80);
    const PictureResult r = ReadPicture(p, thumb);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.naturalSize, QSize(4000, 3000));
    EXPECT_EQ(r.image.size(), QSize(500, 375)); // 1/8
    EXPECT_TRUE(Near(r.image.pixel(10, 10), qRgb(255, 0, 0), 40));

    thumb.coverBox = QSize(600, 400); // 1/8 is too small, 1/4 covers it
    EXPECT_EQ(ReadPicture(p, thumb).image.size(), QSize(1000, 750));
    thumb.coverBox = QSize(3000, 3000); // nothing smaller covers it
    EXPECT_EQ(ReadPicture(p, thumb).image.size(), QSize(4000, 3000));
}

TEST_F(ReadPictureTest, CoverBoxFollowsTheOrientation) {
    // Stored 4000 x 3000, shown 3000 x 4000: a 400 x 300 box needs 1/4 (750 x 1000 shown).
    const QString p = write("em-pe.jpg", EncodeJpeg(Halves(4000, 3000, Qt::red, Qt::blue), 80, 6));
    PictureReadOptions thumb;
    thumb.coverBox = QSize(400, 300);
    const PictureResult r = ReadPicture(p, thumb);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.naturalSize, QSize(3000, 4000));
    EXPECT_EQ(r.image.size(), QSize(750, 1000));
}

TEST_F(ReadPictureTest, CoverBoxLeavesOtherKindsAtNaturalSize) {
    PictureReadOptions thumb;
    thumb.coverBox = QSize(10, 10);
    const PictureResult r =
        ReadPicture(write("x.bmp", EncodeBmp(Halves(400, 300, Qt::red, Qt::blue))), thumb);
    EXPECT_EQ(r.image.size(), QSize(400, 300));
}

// Runs this test program again with only the given tests and extra variables.
int RunSelf(const char* filter, std::vector<std::string> variables) {
    for (char** e = environ; *e != nullptr; ++e)
        variables.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& v : variables)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe", gtestFilter = std::string("--gtest_filter=") + filter;
    char* argv[] = {self.data(), gtestFilter.data(), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ReadPictureTest, HundredMegapixelPhotoOpensWhateverQtsLimitsSay) {
    QImage big(10000, 10000, QImage::Format_RGB32);
    big.fill(qRgb(30, 120, 200));
    const QString p = write("100mp.jpg", EncodeJpeg(big, 50));
    big = QImage();
    // Qt's default limit (128 MB) refuses this photo; so would a small
    // QT_IMAGEIO_MAXALLOC, which overrides whatever a program sets.
    QImageReader::setAllocationLimit(128);
    const PictureResult r = ReadPicture(p);
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    EXPECT_EQ(r.image.size(), QSize(10000, 10000));
    EXPECT_TRUE(Near(r.image.pixel(9999, 9999), qRgb(30, 120, 200)));
    EXPECT_EQ(RunSelf("LargePhotoChild.*",
                      {"QT_IMAGEIO_MAXALLOC=16", "FOTELLO_LARGE_PHOTO=" + p.toStdString()}),
              0);
}

// Run only by the test above, in a process started with QT_IMAGEIO_MAXALLOC set.
TEST(LargePhotoChild, Opens) {
    const QString p = qEnvironmentVariable("FOTELLO_LARGE_PHOTO");
    if (p.isEmpty())
        GTEST_SKIP() << "runs as a child of HundredMegapixelPhotoOpensWhateverQtsLimitsSay";
    EXPECT_TRUE(ReadPicture(p).ok());
}

TEST_F(ReadPictureTest, ConcurrentReadsGiveTheSameResults) {
    std::vector<QString> files;
    for (int i = 0; i < 6; ++i) {
        const QImage image = Halves(50 + i * 10, 40, QColor::fromHsv(i * 50, 255, 255), Qt::black);
        files.push_back(write(QString("f%1.jpg").arg(i), EncodeJpeg(image, 90)));
        files.push_back(write(QString("f%1.gif").arg(i), EncodeGif({image}, {5})));
        files.push_back(write(QString("f%1.ico").arg(i), EncodeIco({image.scaled(32, 32)})));
    }
    files.push_back(
        write("t.jpg", TruncatedCopy(EncodeJpeg(Halves(64, 64, Qt::red, Qt::blue)), 300)));
    std::vector<QImage> expected;
    for (const QString& f : files)
        expected.push_back(ReadPicture(f).image);
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int round = 0; round < 5; ++round)
                for (std::size_t i = 0; i < files.size(); ++i)
                    if (ReadPicture(files[i]).image != expected[i])
                        ++mismatches;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(mismatches, 0);
}

} // namespace
} // namespace fotello

namespace fotello {
namespace {

TEST_F(ReadPictureTest, CheckedBytesForAnimationsPassOnlyWholeSafeFiles) {
    const QImage frame = testing::Halves(30, 20, Qt::red, Qt::blue);
    const QByteArray gif = makers::EncodeGif({frame, frame.mirrored()}, {5, 5});
    const CheckedPictureBytes good = ReadCheckedPictureBytes(write("anima.gif", gif));
    ASSERT_EQ(good.error, PictureError::None);
    EXPECT_EQ(good.bytes, gif);
    EXPECT_EQ(good.probe.kind, PictureKind::Gif);

    const CheckedPictureBytes cut =
        ReadCheckedPictureBytes(write("cortada.gif", makers::TruncatedCopy(gif, gif.size() - 5)));
    EXPECT_EQ(cut.error, PictureError::Truncated);
    EXPECT_TRUE(cut.bytes.isEmpty());
    const CheckedPictureBytes bomb = ReadCheckedPictureBytes(write("bomba.gif", makers::BombGif()));
    EXPECT_EQ(bomb.error, PictureError::TooLarge);
    EXPECT_TRUE(bomb.bytes.isEmpty());
    ASSERT_TRUE(QDir(dir_.path()).mkdir("pasta.gif"));
    EXPECT_EQ(ReadCheckedPictureBytes(path("pasta.gif")).error, PictureError::NotAFile);
}

} // namespace
} // namespace fotello
