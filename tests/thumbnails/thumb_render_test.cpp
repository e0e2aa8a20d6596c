#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "shell/thumb_render.h"
#include "thumb_files.h"

namespace fotello {
namespace {

const QRgb kBack = qRgb(212, 208, 200);

RenderedThumb Render(const QString& path, int side) {
    return RenderThumb(QFile::encodeName(path), side, kBack);
}

TEST(RenderThumb, SmallPictureDrawnAtItsSizeInsideABlackFrame) {
    QTemporaryDir dir;
    const QString path = dir.filePath("small.bmp");
    WritePicture(path, TestPicture(40, 30, QColor(0, 128, 255)));
    const RenderedThumb t = Render(path, 64);
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(t.placement, (ThumbPlacement{12, 17, 40, 30}));
    ASSERT_EQ(t.picture.size(), QSize(40, 30)); // only the picture is kept
    EXPECT_EQ(t.picture.pixel(5, 5), qRgb(0, 128, 255));
    EXPECT_EQ(t.picture.pixel(0, 0), qRgb(255, 127, 0)); // not enlarged, not blurred

    const QImage box = ComposeThumb(64, kBack, t.picture, t.placement);
    ASSERT_EQ(box.size(), QSize(64, 64));
    EXPECT_EQ(box.pixel(11, 16), qRgb(0, 0, 0)); // frame corner (x - 1, y - 1)
    EXPECT_EQ(box.pixel(52, 47), qRgb(0, 0, 0)); // frame corner (x + w, y + h)
    EXPECT_EQ(box.pixel(30, 16), qRgb(0, 0, 0));
    EXPECT_EQ(box.pixel(11, 30), qRgb(0, 0, 0));
    EXPECT_EQ(box.pixel(12, 17), qRgb(255, 127, 0)); // the picture's first pixel
    EXPECT_EQ(box.pixel(51, 46), qRgb(0, 128, 255));
    EXPECT_EQ(box.pixel(10, 15), kBack);
    EXPECT_EQ(box.pixel(53, 48), kBack);
}

TEST(RenderThumb, LargePictureReducedByAreaAveraging) {
    QTemporaryDir dir;
    const QString path = dir.filePath("large.bmp");
    QImage stripes(640, 480, QImage::Format_RGB32);
    for (int x = 0; x < 640; ++x)
        for (int y = 0; y < 480; ++y)
            stripes.setPixel(x, y, x % 2 ? qRgb(200, 200, 200) : qRgb(0, 0, 0));
    WritePicture(path, stripes);
    const RenderedThumb t = Render(path, 64);
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(t.placement, (ThumbPlacement{1, 9, 62, 46}));
    // Fine stripes average to their mean grey rather than aliasing.
    for (int x = 0; x < 62; x += 7)
        EXPECT_NEAR(qRed(t.picture.pixel(x, 20)), 100, 12) << x;
}

TEST(RenderThumb, JpegGeometryFollowsTheNaturalSizeNotTheDecodedOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.jpg");
    WritePicture(path, TestPicture(4000, 3000, QColor(40, 160, 90)));
    const RenderedThumb t = Render(path, 80);
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(t.placement, (ThumbPlacement{1, 11, 78, 58}));
    const QRgb mid = t.picture.pixel(40, 30);
    EXPECT_NEAR(qGreen(mid), 160, 4);
    EXPECT_NEAR(qRed(mid), 40, 4);
}

TEST(RenderThumb, TransparentPartsShowTheBoxColour) {
    QTemporaryDir dir;
    const QString path = dir.filePath("icon.png");
    QImage clear(20, 20, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    WritePicture(path, clear);
    const RenderedThumb t = Render(path, 64);
    if (!t.ok())
        GTEST_SKIP() << "this reader does not take PNG";
    EXPECT_EQ(t.picture.pixel(10, 10), kBack);
}

TEST(RenderThumb, UnreadableFilesFail) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath("zero.jpg"), {});
    WriteBytes(dir.filePath("trunc.jpg"), TruncatedJpeg());
    WriteBytes(dir.filePath("text.bmp"), "not a picture at all");
    for (const char* name : {"zero.jpg", "trunc.jpg", "text.bmp", "missing.jpg"})
        EXPECT_FALSE(Render(dir.filePath(name), 64).ok()) << name;
}

} // namespace
} // namespace fotello
