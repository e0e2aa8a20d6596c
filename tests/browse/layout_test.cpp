#include <QSplitter>
#include <QTreeWidget>

#include "browse_fixture.h"
#include "controls/toolbar_button.h"
#include "controls/toolbar_strip.h"

using namespace fotello;
using namespace fotello::test;

class LayoutTest : public BrowseFixture {};

TEST_F(LayoutTest, ToolbarsAndWorkAreaFollowTheWindow) {
    start();
    w->resize(1000, 700);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ctl<ToolbarStrip>("CtbBar3")->width() == 1000; }));
    auto* status = ctl<ToolbarStrip>("ctbBar2");
    auto* close = ctl<ToolbarButton>("cmdFechar");
    auto* work = ctl<QSplitter>("mcsplitbar1");
    EXPECT_EQ(status->y() + status->height(), 700);
    EXPECT_EQ(close->x() + close->width() + status->height() / 7, 1000);
    EXPECT_EQ(work->y(),
              ctl<ToolbarStrip>("CtbBar3")->height() + ctl<ToolbarStrip>("ctbBar")->height());
    EXPECT_EQ(work->y() + work->height(), status->y());
    EXPECT_EQ(ctl<FileListBox>("File1")->y(),
              ctl<QTreeWidget>("tView")->y() + ctl<QTreeWidget>("tView")->height());
    EXPECT_EQ(ctl<FileListBox>("File1")->width(), ctl<QTreeWidget>("tView")->width());
}

TEST_F(LayoutTest, NothingIsRecomputedWhileMinimised) {
    start();
    const QRect before = ctl<QSplitter>("mcsplitbar1")->geometry();
    w->setWindowState(Qt::WindowMinimized);
    if (!w->isMinimized())
        GTEST_SKIP() << "this platform does not minimise";
    w->resize(700, 500);
    EXPECT_EQ(ctl<QSplitter>("mcsplitbar1")->geometry(), before);
    w->setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return ctl<QSplitter>("mcsplitbar1")->width() == w->width(); }));
}

TEST_F(LayoutTest, DraggingEitherSplitterLeavesNoBandUnderTheFileList) {
    start();
    auto* folderPane = w->findChild<QWidget*>("PictHd");
    auto* tree = w->findChild<QTreeWidget*>("tView");
    auto* files = w->findChild<FileListBox*>("File1");
    // Drags a splitter's handle by the mouse, as a user does.
    auto drag = [](QSplitter* splitter, QPoint by) {
        QSplitterHandle* handle = splitter->handle(1);
        const QPoint from = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, from);
        QTest::mouseMove(handle, from + by);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, from + by);
    };
    auto fillsThePane = [&] {
        EXPECT_EQ(tree->width(), folderPane->width());
        EXPECT_EQ(files->width(), folderPane->width());
        EXPECT_EQ(files->y(), tree->y() + tree->height());
        EXPECT_GE(files->y() + files->height(), folderPane->height()) << "no empty band below";
    };

    auto* folderSplitter = w->findChild<QSplitter*>("mcsplitbar2");
    const int paneBefore = folderPane->height();
    drag(folderSplitter, {0, 60});
    ASSERT_EQ(folderPane->height(), paneBefore + 60);
    EXPECT_NEAR(tree->height(), folderPane->height() / 1.62, 1.0);
    fillsThePane();

    auto* columnSplitter = w->findChild<QSplitter*>("mcsplitbar1");
    const int widthBefore = folderPane->width();
    drag(columnSplitter, {80, 0});
    ASSERT_EQ(folderPane->width(), widthBefore + 80);
    fillsThePane();
}
