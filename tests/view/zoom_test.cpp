#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QWheelEvent>

#include "browse_fixture.h"
#include "controls/animated_picture.h"
#include "controls/image_control.h"
#include "controls/scroll_box.h"
#include "shell/layout_rules.h"

using namespace fotello;
using namespace fotello::test;

class ZoomTest : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        write("fotos/foto.jpg", makers::EncodeJpeg(picture(1600, 1200)));
        write("fotos/casa.bmp", makers::EncodeBmp(picture(40, 30)));
        write("fotos/anima.gif",
              makers::EncodeGif({picture(60, 40, Qt::red), picture(60, 40, Qt::blue)}, {10, 10}));
        // Left half red, right half blue.
        QImage halves(200, 100, QImage::Format_RGB32);
        halves.fill(Qt::red);
        for (int y = 0; y < 100; ++y)
            for (int x = 100; x < 200; ++x)
                halves.setPixel(x, y, qRgb(0, 0, 255));
        write("fotos/metades.bmp", makers::EncodeBmp(halves));
        startIn("fotos");
    }
    ImageControl* image() const { return ctl<ImageControl>("Image1"); }
    ScrollBox* host() const { return ctl<ScrollBox>("ssScroll1"); }
    QSize pane() const { return ctl<QWidget>("PictImagem")->size(); }
    void release(Qt::MouseButton b) { QTest::mouseClick(image(), b, {}, QPoint(2, 2)); }
    void key(QKeySequence keys) { QTest::keySequence(w.get(), keys); }
    QPoint centred(QSize s) const {
        return {CentredStart(pane().width(), s.width()), CentredStart(pane().height(), s.height())};
    }
};

TEST_F(ZoomTest, MouseStepsPlaceThePictureAndReturn) {
    pick("casa.bmp");
    ASSERT_EQ(image()->size(), QSize(40, 30));
    release(Qt::LeftButton);
    EXPECT_EQ(image()->size(), QSize(52, 39));
    EXPECT_EQ(image()->pos(), centred({52, 39}));
    EXPECT_EQ(host()->scrollMode(), 0);
    release(Qt::MiddleButton);
    EXPECT_EQ(image()->size(), QSize(52, 39)) << "other buttons do nothing";
    // In until larger than the pane: the corner and scroll bars.
    int steps = 1;
    while (image()->width() <= pane().width() && image()->height() <= pane().height()) {
        release(Qt::LeftButton);
        ++steps;
        ASSERT_LT(steps, 40);
    }
    EXPECT_EQ(image()->pos(), QPoint(0, 0));
    EXPECT_EQ(host()->scrollMode(), 4);
    // The picture leaves the wheel to the host, which scrolls it.
    auto* bar = host()->verticalScrollBar();
    ASSERT_GT(image()->height(), host()->viewport()->height());
    auto wheel = [this] {
        return QWheelEvent(QPointF(5, 5), image()->mapToGlobal(QPointF(5, 5)), {}, {0, -120},
                           Qt::NoButton, {}, Qt::NoScrollPhase, false);
    };
    QWheelEvent onPicture = wheel();
    QApplication::sendEvent(image(), &onPicture);
    EXPECT_FALSE(onPicture.isAccepted());
    QWheelEvent onHost = wheel();
    QApplication::sendEvent(host()->viewport(), &onHost);
    EXPECT_GT(bar->value(), 0);
    while (steps-- > 0)
        release(Qt::RightButton);
    EXPECT_EQ(image()->size(), QSize(40, 30));
    EXPECT_EQ(image()->pos(), centred({40, 30}));
    EXPECT_EQ(host()->scrollMode(), 0);
}

TEST_F(ZoomTest, KeysZoomFitAndShowRatiosAndTheButtonPopsTheMenu) {
    pick("foto.jpg");
    const QSize fitted = image()->size();
    ASSERT_LT(fitted.width(), 1600);
    ASSERT_TRUE(image()->isReduced());
    key(QKeySequence(Qt::Key_F3));
    EXPECT_LT(image()->width(), fitted.width());
    key(QKeySequence("Ctrl+J"));
    EXPECT_EQ(image()->size(), fitted);
    EXPECT_EQ(host()->scrollMode(), 0);
    key(QKeySequence(Qt::Key_F2));
    EXPECT_EQ(image()->width(), qRound(fitted.width() * 1.3));
    // Larger than the reduced reading: the full picture comes from a worker.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !image()->isReduced(); }, kWaitMs));
    EXPECT_EQ(image()->picture().size(), QSize(1600, 1200));
    // The keys work with the focus in the file list too.
    auto* list = ctl<FileListBox>("File1");
    list->setFocus();
    QTest::keySequence(list, QKeySequence("Ctrl+A"));
    EXPECT_EQ(image()->size(), QSize(1600, 1200));
    EXPECT_EQ(image()->pos(), QPoint(0, 0));
    EXPECT_EQ(host()->scrollMode(), 4);
    ctl<QAction>("mnu2p1")->trigger();
    EXPECT_EQ(image()->size(), QSize(3200, 2400));
    // A picture picked since starts fitted again.
    pick("casa.bmp");
    EXPECT_EQ(image()->size(), QSize(40, 30));
    EXPECT_EQ(host()->scrollMode(), 0);
    // The toolbar button clears the status line and pops the menu up.
    auto* menu = ctl<QMenu>("mnuzoom");
    ctl<QLabel>("lblstatus")->setText("Zoom");
    ctl<QAction>("actctbpesquisa")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, kWaitMs));
    EXPECT_EQ(ctl<QLabel>("lblstatus")->text(), "");
    menu->close();
}

TEST_F(ZoomTest, AGifOnShowKeepsItsAnimation) {
    pick("anima.gif");
    auto* gif = ctl<AnimatedPicture>("mcGif");
    ASSERT_TRUE(gif->isVisible());
    const QSize size = gif->size();
    const QPoint at = gif->pos();
    for (int i = 0; i < 12; ++i)
        key(QKeySequence(Qt::Key_F2));
    EXPECT_EQ(gif->size(), size);
    EXPECT_EQ(gif->pos(), at);
    EXPECT_TRUE(gif->isPlaying());
    EXPECT_FALSE(image()->isVisible());
    EXPECT_GT(image()->width(), pane().width()) << "the hidden still control took the steps";
    EXPECT_EQ(host()->scrollMode(), 4);
}

TEST_F(ZoomTest, ADeepZoomPaintsWhatIsShown) {
    pick("metades.bmp");
    ctl<QAction>("mnu7p1")->trigger(); // 1400 x 700
    auto* h = host();
    h->horizontalScrollBar()->setValue(h->horizontalScrollBar()->maximum());
    const QImage shot = h->viewport()->grab().toImage();
    const QRgb right = shot.pixel(shot.width() - 3, shot.height() / 2);
    EXPECT_EQ(qBlue(right), 255);
    EXPECT_EQ(qRed(right), 0);
    h->horizontalScrollBar()->setValue(0);
    const QImage left = h->viewport()->grab().toImage();
    EXPECT_EQ(qRed(left.pixel(3, left.height() / 2)), 255);
}
