#include <QCursor>
#include <QScrollBar>
#include <QTimer>

#include "browse_fixture.h"
#include "controls/image_control.h"
#include "controls/picture_box.h"
#include "shell/thumbnail_strip.h"

using namespace fotello;
using namespace fotello::test;

class MagnifierTest : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        write("fotos/verde.bmp", makers::EncodeBmp(picture(300, 200, QColor(0, 200, 0))));
        startIn("fotos");
        timer = ctl<QTimer>("Timer2");
        timer->start(); // as the "Sim" setting starts it
        pane = ctl<PictureBox>("Picture4");
    }
    void moveTo(QWidget* over, QPoint at) {
        QTest::mouseMove(over, at);
        QCursor::setPos(over->mapToGlobal(at));
    }
    // The pane's middle, where the scroll bar does not lie.
    QRgb middle() const {
        return pane->drawing().pixel(pane->scaleWidth() / 2, pane->scaleHeight() / 3);
    }
    bool showsIdleCross() const {
        const QImage& d = pane->drawing();
        const int w = pane->scaleWidth(), h = pane->scaleHeight();
        return d.pixel(0, 0) == qRgb(0, 0, 0) && d.pixel(w - 1, h - 1) == qRgb(0, 0, 0) &&
               d.pixel(w - 3, 0) == qRgb(0, 0, 0) && d.pixel(w / 2, 1) != qRgb(0, 0, 0);
    }
    QTimer* timer = nullptr;
    PictureBox* pane = nullptr;
};

TEST_F(MagnifierTest, FollowsThePictureTurnsIdleElsewhereAndDoubleClickToggles) {
    EXPECT_EQ(timer->interval(), 50);
    pick("verde.bmp");
    auto* image = ctl<ImageControl>("Image1");
    moveTo(image, image->rect().center());
    EXPECT_TRUE(w->hoverTracking);
    EXPECT_TRUE(QTest::qWaitFor([&] { return middle() == qRgb(0, 200, 0); }, kWaitMs));
    // A double click on the pane stops the timer and a second one starts it.
    QTest::mouseDClick(pane, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(timer->isActive());
    QTest::mouseDClick(pane, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(timer->isActive());

    // Off the picture but on the preview pane: idle.
    moveTo(ctl<QWidget>("ssScroll1_canvas"), QPoint(2, 2));
    EXPECT_FALSE(w->hoverTracking);
    EXPECT_TRUE(QTest::qWaitFor([&] { return showsIdleCross(); }, kWaitMs));

    // A value of 0 copies nothing: the idle cross over the picture too.
    ctl<QScrollBar>("vScroll1")->setValue(0);
    moveTo(image, image->rect().center());
    EXPECT_TRUE(w->hoverTracking);
    EXPECT_TRUE(QTest::qWaitFor([&] { return showsIdleCross(); }, kWaitMs));
}

TEST_F(MagnifierTest, TheZoomBarFallsFromItsNearEndToItsFarEnd) {
    auto* bar = ctl<QScrollBar>("vScroll1");
    ASSERT_EQ(bar->orientation(), Qt::Horizontal);
    ASSERT_GT(bar->width(), 6 * bar->height()) << "room for the thumb between the arrows";
    const int y = bar->height() / 2;
    bar->setValue(50);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 2 * bar->height(), y));
    EXPECT_LT(bar->value(), 50) << "the far end";
    bar->setValue(50);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(2 * bar->height(), y));
    EXPECT_GT(bar->value(), 50) << "the near end";
}

TEST_F(MagnifierTest, ThumbnailCellsAreFollowedAndTheStripsGapsAreNot) {
    auto* strip = ctl<ThumbnailStrip>("picFrame");
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip->cellAt(QPoint(20, 20)) >= 0; }, kWaitMs));
    moveTo(strip, QPoint(20, 20));
    EXPECT_TRUE(w->hoverTracking);
    const QPoint gap(5, strip->height() - 3); // below the two cells, left of the scroll bar
    ASSERT_LT(strip->cellAt(gap), 0);
    moveTo(strip, gap);
    EXPECT_FALSE(w->hoverTracking);
}
