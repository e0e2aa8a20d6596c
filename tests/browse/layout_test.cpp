#include <QSplitter>
#include <QTreeWidget>

#include "browse_fixture.h"
#include "controls/file_list_box.h"
#include "controls/image_control.h"
#include "controls/toolbar_button.h"
#include "controls/toolbar_strip.h"
#include "shell/layout_rules.h"

using namespace fotello;
using namespace fotello::test;

class LayoutTest : public BrowseFixture {};

TEST_F(LayoutTest, ToolbarsAndWorkAreaFollowTheWindow) {
    start();
    w->resize(1000, 700);
    QTest::qWait(10);
    EXPECT_EQ(w->CtbBar3->width(), 1000);
    EXPECT_EQ(w->ctbBar2->y() + w->ctbBar2->height(), 700);
    const int gap = w->ctbBar2->height() / 7;
    EXPECT_EQ(w->cmdFechar->x() + w->cmdFechar->width() + gap, 1000);
    EXPECT_EQ(w->mcsplitbar1->y(), w->CtbBar3->height() + w->ctbBar->height());
    EXPECT_EQ(w->mcsplitbar1->y() + w->mcsplitbar1->height(), w->ctbBar2->y());
    // Panel buttons chained without gaps.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(w->button1[i]->x() + w->button1[i]->width(), w->button1[i + 1]->x());
    EXPECT_EQ(w->File1->y(), w->tView->y() + w->tView->height());
    EXPECT_EQ(w->File1->width(), w->tView->width());
}

TEST_F(LayoutTest, StillPictureIsCentredAgainAfterAResize) {
    write("p/quadro.bmp", makers::EncodeBmp(picture(50, 20)));
    start();
    ASSERT_TRUE(w->File1->setPath(dir + "/p"));
    w->File1->setCurrentRow(0);
    w->File1_Click();
    // The picture is read on a worker; the hourglass goes once it is shown.
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::overrideCursor() == nullptr; }, 20000));
    w->resize(1100, 760);
    QTest::qWait(10);
    EXPECT_EQ(w->Image1->pos(), QPoint(CentredStart(w->PictImagem->width(), w->Image1->width()),
                                       CentredStart(w->PictImagem->height(), w->Image1->height())));
}

TEST_F(LayoutTest, NothingIsRecomputedWhileMinimised) {
    start();
    const QRect before = w->mcsplitbar1->geometry();
    w->setWindowState(Qt::WindowMinimized);
    if (!w->isMinimized())
        GTEST_SKIP() << "this platform does not minimise";
    w->resize(700, 500);
    EXPECT_EQ(w->mcsplitbar1->geometry(), before);
    w->setWindowState(Qt::WindowNoState);
    QTest::qWait(10);
    EXPECT_EQ(w->mcsplitbar1->width(), w->width());
}

TEST_F(LayoutTest, MovingTheFolderSplitterSplitsThePane) {
    start();
    w->mcsplitbar2->setSizes({300, 120});
    QTest::qWait(10);
    const int pane = w->PictHd->height();
    EXPECT_NEAR(w->tView->height(), pane / 1.62, 1.0);
    EXPECT_NEAR(w->File1->height(), pane / 3.14, 1.0);
    EXPECT_EQ(w->File1->y(), w->tView->y() + w->tView->height());
}
