// The picture writers, read back with Qt's own readers, and the sample folder.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDirIterator>
#include <QImageReader>

#include "tests/platform/picture_test_support.h"

namespace fotello {
namespace {

using namespace makers;
using testing::Halves;

TEST(PictureMakers, GifKeepsEveryFrameItsDelayAndTheLoop) {
    QList<QImage> frames;
    for (int i = 0; i < 5; ++i) // more than 4096 codes per frame: the table is cleared
        frames << Halves(150, 120, QColor::fromHsv(i * 60, 200, 250),
                         QColor::fromHsv(i * 60 + 30, 90, 90));
    frames[2].setPixel(7, 9, qRgb(1, 2, 3));
    QByteArray gif = EncodeGif(frames, {10, 20, 30, 40, 50}, 3);
    QBuffer buffer(&gif);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    EXPECT_EQ(reader.imageCount(), 5);
    EXPECT_EQ(reader.loopCount(), 3);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const QImage frame = reader.read().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(frame.size(), QSize(150, 120));
        EXPECT_EQ(frame.pixel(10, 60), frames[i].pixel(10, 60));
        EXPECT_EQ(frame.pixel(140, 60), frames[i].pixel(140, 60));
        EXPECT_EQ(frame.pixel(7, 9), frames[i].pixel(7, 9));
        EXPECT_EQ(reader.nextImageDelay(), (i + 1) * 100) << "after frame " << i;
    }
}

TEST(PictureMakers, SamplesAreGoodPicturesOfEveryKind) {
    const QString folder = qEnvironmentVariable("FOTELLO_BIN_DIR") + "/amostras";
    SetHelperFolder(qEnvironmentVariable("FOTELLO_BIN_DIR"));
    QSet<QString> kinds;
    int count = 0;
    for (QDirIterator it(folder, QDir::Files); it.hasNext();) {
        const QString p = it.next();
        const PictureResult r = ReadPicture(p);
        EXPECT_TRUE(r.ok()) << p.toStdString() << ": " << r.detail.toStdString();
        EXPECT_GE(qMax(r.naturalSize.width(), r.naturalSize.height()), 32) << p.toStdString();
        EXPECT_LE(qMax(r.naturalSize.width(), r.naturalSize.height()), 1600) << p.toStdString();
        kinds.insert(p.section('.', -1));
        ++count;
    }
    EXPECT_GE(count, 8);
    EXPECT_EQ(kinds, (QSet<QString>{"bmp", "jpg", "gif", "ico", "cur", "wmf"}));
}

} // namespace
} // namespace fotello
