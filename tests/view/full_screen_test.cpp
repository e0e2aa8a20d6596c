#include <QAction>
#include <QScreen>

#include "browse_fixture.h"
#include "controls/animated_picture.h"
#include "controls/image_control.h"
#include "shell/layout_rules.h"
#include "view/full_screen.h"

using namespace fotello;
using namespace fotello::test;

class FullScreenTest : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        write("fotos/pequena.bmp", makers::EncodeBmp(picture(100, 60)));
        write("fotos/grande.jpg", makers::EncodeJpeg(picture(3000, 2000)));
        write("fotos/ANIMA.GIF",
              makers::EncodeGif({picture(60, 40, Qt::red), picture(60, 40, Qt::blue)}, {10, 10}));
        startIn("fotos");
    }
    // Opens the viewer on a picked file and waits for its picture.
    FrmTelaCheia* open(const QString& name) {
        pick(name);
        ctl<QLabel>("lblstatus")->setText("Tela Cheia");
        w->action(QString("ctbTela"))->trigger();
        FrmTelaCheia* v = FrmTelaCheia::existing();
        EXPECT_TRUE(v);
        if (v) {
            EXPECT_TRUE(
                QTest::qWaitFor([] { return QApplication::overrideCursor() == nullptr; }, kWaitMs));
        }
        return v;
    }
    static ImageControl* still(FrmTelaCheia* v) { return Control<ImageControl>(*v, "Image1"); }
    static QPoint centred(FrmTelaCheia* v, QSize s) {
        const QSize screen = v->screenSize();
        return {CentredStart(screen.width(), s.width()), CentredStart(screen.height(), s.height())};
    }
    static bool closed() {
        return QTest::qWaitFor([] { return FrmTelaCheia::existing() == nullptr; }, kWaitMs);
    }
};

TEST_F(FullScreenTest, ShowsTheFileCentredOnTheScreenMovesByArrowsAndRecentresOnZoom) {
    FrmTelaCheia* v = open("pequena.bmp");
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->isVisible());
    EXPECT_TRUE(v->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(v->geometry(), w->screen()->geometry());
    EXPECT_EQ(v->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(ctl<QLabel>("lblstatus")->text(), "");
    EXPECT_EQ(ctl<QLabel>("lbltamanho")->text(), "");
    ImageControl* img = still(v);
    EXPECT_EQ(img->size(), QSize(100, 60));
    EXPECT_EQ(img->pos(), centred(v, {100, 60}));
    // Arrows move by a thirtieth of the screen; a zoom step re-centres, the moves lost.
    const QPoint start = img->pos();
    const int step = qRound(v->screenSize().height() / 30.0);
    QTest::keyClick(v, Qt::Key_Up);
    EXPECT_EQ(img->pos(), start + QPoint(0, -step));
    QTest::keyClick(v, Qt::Key_Right);
    EXPECT_EQ(img->pos(), start + QPoint(step, -step));
    QTest::keyClick(v, Qt::Key_A);
    EXPECT_EQ(img->pos(), start + QPoint(step, -step)) << "other keys do nothing";
    QTest::mouseClick(img, Qt::LeftButton);
    EXPECT_EQ(img->size(), QSize(130, 78));
    EXPECT_EQ(img->pos(), centred(v, {130, 78}));
    QTest::mouseClick(img, Qt::RightButton);
    EXPECT_EQ(img->size(), QSize(100, 60));
    EXPECT_EQ(img->pos(), start);
    QTest::keyClick(v, Qt::Key_Escape);
    EXPECT_TRUE(closed());
    EXPECT_TRUE(w->isVisible()) << "the main window stays";

    // Larger than the screen: cut on every side.
    v = open("grande.jpg");
    ASSERT_TRUE(v);
    img = still(v);
    EXPECT_EQ(img->size(), QSize(3000, 2000));
    EXPECT_EQ(img->pos(), centred(v, {3000, 2000}));
    EXPECT_LT(img->x(), 0);
    EXPECT_LT(img->y(), 0);
}

TEST_F(FullScreenTest, AGifInCapitalsPlaysAndTheKeysMoveOnlyTheHiddenStill) {
    FrmTelaCheia* v = open("ANIMA.GIF");
    ASSERT_TRUE(v);
    auto* gif = Control<AnimatedPicture>(*v, "mcGif");
    EXPECT_TRUE(QTest::qWaitFor([gif] { return gif->isPlaying(); }, kWaitMs));
    EXPECT_TRUE(gif->isVisible());
    EXPECT_FALSE(still(v)->isVisible());
    const QPoint gifAt = gif->pos();
    const QPoint stillAt = still(v)->pos();
    QTest::keyClick(v, Qt::Key_Down);
    EXPECT_EQ(gif->pos(), gifAt);
    EXPECT_NE(still(v)->pos(), stillAt);
}

TEST_F(FullScreenTest, TheBackgroundFromApplyLandsOnTheViewerUntilItCloses) {
    pick("pequena.bmp");
    FrmTelaCheia::ApplyBackColor(*w, 0x0000FF); // red, as 0x00BBGGRR
    FrmTelaCheia* hidden = FrmTelaCheia::existing();
    ASSERT_TRUE(hidden);
    EXPECT_FALSE(hidden->isVisible());
    FrmTelaCheia* v = open("pequena.bmp");
    EXPECT_EQ(v, hidden) << "the viewer apply made is the one that opens";
    EXPECT_EQ(v->palette().color(QPalette::Window), QColor(Qt::red));
    EXPECT_EQ(still(v)->size(), QSize(100, 60)) << "it shows the current file";
    QTest::keyClick(v, Qt::Key_Escape);
    ASSERT_TRUE(closed());
    v = open("pequena.bmp");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->palette().color(QPalette::Window), QColor(Qt::black));
}
