// At a device pixel ratio of 2 the strip, the preview and the zoom are drawn
// in the screen's own pixels, not enlarged from half as many.
#include <random>


#include "browse_fixture.h"
#include "controls/image_control.h"

using namespace fotello;
using namespace fotello::test;

namespace {

// Set before the test main makes the application.
[[maybe_unused]] const bool kScaled = [] {
    qputenv("QT_SCALE_FACTOR", "2");
    return true;
}();

// Columns four pixels wide, black and white: reduced 4:1 they alternate at
// every screen pixel, reduced 8:1 they are grey.
QImage Stripes(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            image.setPixel(x, y, (x / 4) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return image;
}

QImage Noise(int w, int h) {
    std::mt19937 rng(7);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, rng() | 0xFF000000u);
    return image;
}

// Neighbours in a row of pixels that differ from black to white.
int Alternations(const QImage& image, int y, int from, int to) {
    int n = 0;
    for (int x = from; x + 1 < to && x + 1 < image.width(); ++x)
        n += std::abs(qGray(image.pixel(x, y)) - qGray(image.pixel(x + 1, y))) > 150;
    return n;
}

double MeanDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qGreen(a.pixel(x, y)) - qGreen(b.pixel(x, y)));
    return sum / (double(a.width()) * a.height());
}

// Mean difference of horizontal neighbours.
double Roughness(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x + 1 < image.width(); ++x)
            sum += std::abs(qGreen(image.pixel(x, y)) - qGreen(image.pixel(x + 1, y)));
    return sum / (double(image.width() - 1) * image.height());
}

class HiDpiTest : public BrowseFixture {};

TEST_F(HiDpiTest, ThumbnailsAreDrawnInScreenPixels) {
    // 138 pixels in the strip, 276 on the screen: read from the file (no
    // cached size is that large), each screen pixel four of the picture's.
    write("tiras.bmp", makers::EncodeBmp(Stripes(1104, 828)));
    write("pequena.bmp", makers::EncodeBmp(Stripes(40, 30)));
    start();
    ASSERT_EQ(w->devicePixelRatioF(), 2.0);
    ctl<QLineEdit>("Text1")->setText("170");
    ctl<QLineEdit>("Text2")->setText("160");
    ctl<QLineEdit>("Text3")->setText("140");
    w->ApplySettings();
    showFolder("");
    auto* strip = ctl<ThumbnailStrip>("picFrame");
    ASSERT_EQ(strip->cellCount(), 2);
    EXPECT_EQ(strip->cellPicture(0).size(), QSize(280, 280));
    const QImage cell = strip->cellPicture(1);
    ASSERT_EQ(cell.size(), QSize(280, 280));
    EXPECT_GT(Alternations(cell, 140, 4, 276), 250);

    // And painted so: a row through the picture, as the window shows it.
    const QImage shown = strip->grab().toImage();
    const QRect at = strip->cellRect(1).translated(strip->stripPos());
    EXPECT_GT(Alternations(shown, (at.center().y() - 8) * 2, at.left() * 2, at.right() * 2), 250);
}

TEST_F(HiDpiTest, ThePreviewAndItsZoomAreReadAndDrawnInScreenPixels) {
    const QImage noise = Noise(1600, 1200);
    write("ruido.bmp", makers::EncodeBmp(noise));
    startIn("");
    pick("ruido.bmp");
    auto* image = ctl<ImageControl>("Image1");
    const QSize device = image->size() * 2;
    EXPECT_EQ(image->picture().size(), device) << "read at the size it is shown on the screen";
    const QImage fitted = image->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_LT(MeanDifference(fitted, image->picture()), 1.0);

    w->mnuzoomais_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !image->isReduced(); }, kWaitMs));
    // Noise drawn in screen pixels stays rough from one pixel to the next;
    // enlarged from half as many it comes in pairs.
    const QImage zoomed = image->grab().toImage();
    const QImage enlarged =
        noise.scaled(image->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .scaled(image->size() * 2);
    EXPECT_GT(Roughness(zoomed), 1.5 * Roughness(enlarged));
}

} // namespace
