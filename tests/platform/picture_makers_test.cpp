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

TEST(PictureMakers, IconDirectoriesCarryTheSizesAndHotSpot) {
    // Read back by the reader tests; here only what no reader looks at.
    const QImage icon = Halves(20, 10, Qt::red, Qt::transparent, QImage::Format_ARGB32);
    const QByteArray cur = EncodeCur(icon, QPoint(5, 7));
    EXPECT_EQ(cur.mid(0, 6), QByteArray("\0\0\2\0\1\0", 6));
    EXPECT_EQ(cur.mid(6, 2), QByteArray("\x14\x0A", 2));
    EXPECT_EQ(cur.mid(10, 4), QByteArray("\5\0\7\0", 4)); // the hot spot
    const QByteArray ico = EncodeIco({icon, icon.scaled(256, 128)});
    EXPECT_EQ(ico.mid(4, 2), QByteArray("\2\0", 2));
    EXPECT_EQ(ico[6 + 16], '\0'); // 256 is written as 0
}

TEST(PictureMakers, WmfHeaderChecksumAndSizeAreRight) {
    WmfWriter wmf(100, 50, 1440);
    wmf.setPen(Qt::red, 2);
    wmf.setBrush(Qt::blue);
    wmf.ellipse(QRect(0, 0, 10, 10));
    wmf.setBrush(Qt::green); // replaces the brush: deletes the old one
    wmf.rectangle(QRect(0, 0, 10, 10));
    const QByteArray file = wmf.finish();
    auto word = [&](int at) { return quint16(uchar(file[at]) | (uchar(file[at + 1]) << 8)); };
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= word(i);
    EXPECT_EQ(word(20), checksum);
    EXPECT_EQ(word(14), 1440);
    EXPECT_EQ(quint32(word(28) | (word(30) << 16)) * 2, quint32(file.size() - 22));
    EXPECT_EQ(word(32), 3); // pen, brush, brush: the second brush takes a third slot
    EXPECT_TRUE(file.endsWith(QByteArray("\3\0\0\0\0\0", 6)));
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
