#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "controls.h"
#include "shell/main_window.h"
#include "shell/thumbnail_strip.h"
#include "thumb_files.h"

using fotello::test::Control;

namespace fotello {
namespace {

// Cells without a build: tags "0.jpg", "1.jpg", ... with a 78 x 58 picture.
void AddCells(ThumbnailStrip* strip, int n) {
    QPixmap picture(78, 58);
    picture.fill(QColor(0, 0, 255));
    for (int i = 0; i < n; ++i)
        strip->setCell(i, QString("%1.jpg").arg(i), QString("%1.jpg").arg(i), picture,
                       {1, 11, 78, 58}, 80);
}

struct Strip : testing::Test {
    // Cells 100 wide and 120 high; a viewport 520 wide with a bar 17 wide.
    TestWindow tw{120, 100, 80};
    FrmFotello& w = *tw.w;
    ThumbnailStrip* strip = Control<ThumbnailStrip>(w, "picFrame");
    QScrollBar* bar = strip->vsbSlide();
    void SetUp() override {
        bar->resize(17, 10);
        strip->resize(520, 300);
        strip->setStripVisible(true);
    }
};

TEST_F(Strip, FiveColumnsTheBarAtTheEdgeAndSettingsOnlyOnceApplied) {
    AddCells(strip, 7);
    Control<QLineEdit>(w, "Text1")->setText(" 80 ");
    Control<QLineEdit>(w, "Text2")->setText(" 50 ");
    Control<QLineEdit>(w, "Text3")->setText(" 40");
    w.Redimens();
    EXPECT_EQ(strip->columns(), 5) << "the fields' text is read when applied, not at layout";
    EXPECT_EQ(strip->cellRect(6), QRect(100, 120, 100, 120));
    EXPECT_EQ(bar->geometry(), QRect(503, 0, 17, 300)); // right edge, full height
    EXPECT_FALSE(bar->isEnabled());

    w.ApplySettings();
    EXPECT_EQ(strip->columns(), 10);
    EXPECT_EQ(strip->cellSize(), QSize(50, 80));
    EXPECT_EQ(strip->cellRect(6), QRect(300, 0, 50, 80));
    EXPECT_EQ(w.settings().thumbs, (ThumbGeometry{80, 50, 40}));
}

TEST_F(Strip, ScrollingMovesTheStripAndLayoutReturnsToTheTop) {
    AddCells(strip, 23);
    strip->resize(520, 250);
    w.Redimens();
    bar->setValue(130);
    EXPECT_EQ(strip->stripPos(), QPoint(0, -130));
    // Painted where it now stands: cell 10 (row 2) has its frame at 240 - 130 + 10.
    QImage shot(strip->size(), QImage::Format_RGB32);
    strip->render(&shot);
    const QRect cell = strip->cellRect(10).translated(strip->stripPos());
    const int boxTop =
        cell.top() + (cell.height() - (80 + 2 + QFontMetrics(strip->font()).height())) / 2;
    const int boxLeft = cell.left() + 10;
    EXPECT_EQ(shot.pixel(boxLeft + 0, boxTop + 10), qRgb(0, 0, 0));   // frame at (x-1, y-1)
    EXPECT_EQ(shot.pixel(boxLeft + 5, boxTop + 20), qRgb(0, 0, 255)); // the picture
    w.Redimens(); // a resize starts again from the first row
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(strip->stripPos(), QPoint(0, 0));
}

TEST_F(Strip, ClickSelectsOneCell) {
    AddCells(strip, 7);
    w.Redimens();
    QSignalSpy clicked(strip, &ThumbnailStrip::cellClicked);
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->cellRect(6).center());
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toInt(), 6);
    EXPECT_TRUE(strip->cellSelected(6));
    strip->setCellSelected(2, true);
    EXPECT_FALSE(strip->cellSelected(6)); // one option of the group at a time
    EXPECT_EQ(strip->cellTag(6), "6.jpg");

    // Past the last cell, or over a hidden cell 0: nothing there.
    EXPECT_EQ(strip->cellAt(QPoint(250, 130)), -1);
    strip->setCellVisible(0, false);
    EXPECT_EQ(strip->cellAt(QPoint(10, 10)), -1);
}

} // namespace
} // namespace fotello
