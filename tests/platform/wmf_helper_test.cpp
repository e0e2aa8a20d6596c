// Metafiles: drawn by the real fotello-wmf helper, and the browser's side
// checked against helpers that hang, lie or crash.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "platform/wmf_client.h"
#include "tests/platform/log_capture.h"
#include "tests/platform/picture_test_support.h"

namespace fotello {
namespace {

using namespace makers;
using testing::Near;

QByteArray Drawing() {
    WmfWriter wmf(300, 150, 150); // 2 x 1 inches: 192 x 96 pixels
    wmf.setNoPen();
    wmf.setBrush(QColor(0, 128, 0));
    wmf.rectangle(QRect(0, 0, 300, 150));
    wmf.setPen(Qt::black, 2);
    wmf.setBrush(Qt::yellow);
    wmf.polygon({{150, 10}, {290, 140}, {10, 140}});
    return wmf.finish();
}

// A stand-in helper's header for a 2 x 2 raster: "FMR1", width, height, flags.
const QByteArray kHeader2x2 = R"(printf 'FMR1\002\000\000\000\002\000\000\000\000\000\000\000')";

class WmfTest : public testing::PictureFolder {
protected:
    QString helper() const { return QDir(HelperFolder()).filePath("fotello-wmf"); }
    // A stand-in helper: a shell script with the given body.
    QString fakeHelper(const QByteArray& body) {
        const QString p = write("fake-helper", "#!/bin/sh\n" + body + "\n");
        ::chmod(QFile::encodeName(p).constData(), 0700);
        return p;
    }
};

TEST_F(WmfTest, HelperDrawsAtTheMetafilesInchSize) {
    const PictureResult r = ReadPicture(write("triangulo.wmf", Drawing()));
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    EXPECT_EQ(r.image.size(), QSize(192, 96));
    EXPECT_EQ(r.image.format(), QImage::Format_RGB32);
    EXPECT_TRUE(Near(r.image.pixel(3, 3), qRgb(0, 128, 0)));
    EXPECT_TRUE(Near(r.image.pixel(96, 70), qRgb(255, 255, 0)));
    // Without the placeable header it still draws.
    EXPECT_TRUE(ReadPicture(write("simples.wmf", Drawing().mid(22))).ok());
}

TEST_F(WmfTest, HugeBoxIsDrawnAtTheLargestSide) {
    WmfWriter wmf(30000, 15000, 1); // 30000 x 15000 inches
    wmf.setBrush(Qt::red);
    wmf.rectangle(QRect(0, 0, 30000, 15000));
    const PictureResult r = ReadPicture(write("enorme.wmf", wmf.finish()));
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    EXPECT_EQ(r.image.size(), QSize(4096, 2048));
}

// libwmf divides by a pattern's size when it tiles it: an empty pattern fills
// nothing instead of killing the helper, and the rest of the drawing stays.
TEST_F(WmfTest, PatternBrushesTileAndAnEmptyOneFillsNothing) {
    for (const QSize empty : {QSize(0, 8), QSize(8, 0)}) {
        WmfWriter wmf(300, 150, 150);
        wmf.setNoPen();
        wmf.setBrush(QColor(0, 128, 0));
        wmf.rectangle(QRect(0, 0, 300, 150));
        wmf.setPatternBrush(QSize(8, 8), Qt::blue);
        wmf.rectangle(QRect(0, 0, 100, 150));
        wmf.setPatternBrush(empty, Qt::red);
        wmf.rectangle(QRect(100, 0, 100, 150));
        wmf.ellipse(QRect(100, 0, 100, 150));
        wmf.setBrush(Qt::yellow);
        wmf.rectangle(QRect(200, 0, 100, 150));
        const PictureResult r = ReadPicture(write("padrao.wmf", wmf.finish()));
        ASSERT_TRUE(r.ok()) << empty.width() << "x" << empty.height() << ": "
                            << r.detail.toStdString();
        EXPECT_TRUE(Near(r.image.pixel(30, 48), qRgb(0, 0, 255)));
        EXPECT_TRUE(Near(r.image.pixel(96, 48), qRgb(0, 128, 0)));
        EXPECT_TRUE(Near(r.image.pixel(160, 48), qRgb(255, 255, 0)));
    }
}

// libwmf steps over a bitmap header's declared size minus 40, counted unsigned:
// a size below 40 would keep the helper busy past its time limit. The bitmap is
// left out and the rest of the drawing stays.
TEST_F(WmfTest, BitmapWithAnImpossibleHeaderSizeIsLeftOut) {
    WmfWriter wmf(300, 150, 150);
    wmf.setNoPen();
    wmf.setPatternBrush(QSize(8, 8), Qt::blue);
    wmf.rectangle(QRect(0, 0, 150, 150));
    wmf.setBrush(Qt::yellow);
    wmf.rectangle(QRect(150, 0, 150, 150));
    const QByteArray drawing = wmf.finish();
    const QByteArray header("\x28\0\0\0\x08\0\0\0\x08\0\0\0", 12);
    const qsizetype at = drawing.indexOf(header);
    ASSERT_GT(at, 0);
    // Below the smallest header, and past the end of the record.
    for (const QByteArray size : {QByteArray("\0\0\0\0", 4), QByteArray("\x27\0\0\0", 4),
                                  QByteArray("\xff\xff\xff\x7f", 4)}) {
        const QByteArray bytes = QByteArray(drawing).replace(at, 4, size);
        const WmfRenderResult r = RenderWmfInHelper(bytes, helper(), 2000);
        ASSERT_EQ(r.error, PictureError::None) << r.detail.toStdString();
        EXPECT_FALSE(Near(r.image.pixel(30, 48), qRgb(0, 0, 255)));
        EXPECT_TRUE(Near(r.image.pixel(160, 48), qRgb(255, 255, 0)));
    }
}

TEST_F(WmfTest, HelperReportsTruncationAndGarbage) {
    // Past the browser's own check: the helper itself sees the data end.
    const QByteArray cut = TruncatedCopy(Drawing(), Drawing().size() - 30);
    for (const auto& [bytes, error] :
         {std::pair{cut, PictureError::Truncated},
          std::pair{QByteArray(1000, '\x11'), PictureError::Invalid}}) {
        const WmfRenderResult r = RenderWmfInHelper(bytes, helper(), 2000);
        EXPECT_EQ(r.error, error) << r.detail.toStdString();
        EXPECT_TRUE(r.image.isNull());
    }
}

TEST_F(WmfTest, HelperOutputIsCheckedNotTrusted) {
    const std::tuple<const char*, QByteArray, PictureError> cases[] = {
        {"good", kHeader2x2 + "; head -c 16 /dev/zero", PictureError::None},
        {"short", kHeader2x2 + "; head -c 15 /dev/zero", PictureError::Invalid},
        {"long", kHeader2x2 + "; head -c 17 /dev/zero", PictureError::Invalid},
        {"over the side limit", R"(printf 'FMR1\000\100\000\000\001\000\000\000\000\000\000\000')",
         PictureError::Invalid},
        {"wrong magic", R"(printf 'XXXX\002\000\000\000\002\000\000\000\000\000\000\000')",
         PictureError::Invalid},
        {"crash", "kill -SEGV $$", PictureError::Invalid},
        {"truncated", "exit 3", PictureError::Truncated},
        {"nothing", "exit 0", PictureError::Invalid},
    };
    for (const auto& [what, body, expected] : cases) {
        const WmfRenderResult r = RenderWmfInHelper(Drawing(), fakeHelper(body), 2000);
        EXPECT_EQ(r.error, expected) << what << ": " << r.detail.toStdString();
        EXPECT_EQ(r.image.isNull(), expected != PictureError::None) << what;
    }
}

// A helper that hangs, or stays after its output, is killed at the time limit:
// silence, or a raster then silence.
TEST_F(WmfTest, HangingHelperIsKilledAtTheTimeLimit) {
    const QByteArray bodies[] = {"", kHeader2x2 + "; head -c 16 /dev/zero"};
    for (const QByteArray& body : bodies) {
        const QString pidFile = path("pid");
        QFile::remove(pidFile);
        const QString fake = fakeHelper("echo $$ > '" + QFile::encodeName(pidFile) + "'\n" + body +
                                        "\nexec sleep 30");
        QElapsedTimer clock;
        clock.start();
        const WmfRenderResult r = RenderWmfInHelper(Drawing(), fake, 500);
        EXPECT_LT(clock.elapsed(), 5000) << body.constData();
        EXPECT_EQ(r.error, PictureError::Invalid) << body.constData();
        EXPECT_TRUE(r.image.isNull());
        QFile f(pidFile);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const pid_t pid = f.readAll().trimmed().toInt();
        ASSERT_GT(pid, 0);
        EXPECT_EQ(::kill(pid, 0), -1); // killed and reaped
        EXPECT_EQ(errno, ESRCH);
    }
}

// libwmf draws nothing without its Type 1 fonts, and always searches its own
// built-in folders: hide them in a private mount namespace to see the helper
// tell a machine without fonts from a broken file.
TEST_F(WmfTest, MissingFontsAreToldApartFromABrokenFile) {
    const QByteArray fonts = "/usr/share/fonts/type1/urw-base35";
    if (!QFileInfo(QString::fromLatin1(fonts)).isDir())
        GTEST_SKIP() << "this machine has no fonts to hide";
    if (std::system("unshare -m --propagation private sh -c 'command -v mount' >/dev/null 2>&1") !=
        0)
        GTEST_SKIP() << "no mount namespaces or no mount command here";
    QDir().mkpath(path("vazia"));
    const QString hidden =
        fakeHelper("exec unshare -m --propagation private sh -c 'mount --bind \"$0\" " + fonts +
                   " && exec \"$1\"' '" + QFile::encodeName(path("vazia")) + "' '" +
                   QFile::encodeName(helper()) + "'");

    testing::LogCapture log("");
    const WmfRenderResult first = RenderWmfInHelper(Drawing(), hidden, 2000);
    const WmfRenderResult second = RenderWmfInHelper(Drawing(), hidden, 2000);
    const WmfRenderResult broken = RenderWmfInHelper(QByteArray(1000, '\x11'), hidden, 2000);
    const auto logged = log.lines("fotello.wmf");

    EXPECT_EQ(first.error, PictureError::NoFonts) << first.detail.toStdString();
    EXPECT_TRUE(first.image.isNull());
    EXPECT_TRUE(first.detail.contains("fonts-urw-base35")) << first.detail.toStdString();
    EXPECT_EQ(second.error, PictureError::NoFonts);
    EXPECT_EQ(broken.error, PictureError::Invalid) << "garbage is still garbage";
    ASSERT_EQ(logged.size(), 1) << "said once, not per picture";
    EXPECT_EQ(logged[0].text, first.detail);
    // With the fonts back the same drawing is fine.
    EXPECT_EQ(RenderWmfInHelper(Drawing(), helper(), 2000).error, PictureError::None);
}

} // namespace
} // namespace fotello
