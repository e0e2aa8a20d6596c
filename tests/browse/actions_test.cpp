#include <QAction>
#include <QLabel>
#include <QSignalSpy>

#include "browse_fixture.h"
#include "controls/toolbar_button.h"

using namespace fotello;
using namespace fotello::test;

class ActionsTest : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        start();
        status = w->findChild<QLabel*>("lblstatus");
        size = w->findChild<QLabel*>("lbltamanho");
        bar = w->findChild<QWidget*>("ctbBar2");
        ASSERT_TRUE(status && size && bar);
        // The offscreen platform enters the window at its corner when it
        // shows: the pointer starts over the first button.
        hover(button("ctbRefresh"));
        away();
        ASSERT_EQ(status->text(), "");
    }
    ToolbarButton* button(const char* name) { return w->findChild<ToolbarButton*>(name); }
    void hover(QWidget* b) { QTest::mouseMove(b, b->rect().center()); }
    void away() { QTest::mouseMove(w.get(), QPoint(w->width() / 2, w->height() / 2)); }
    // What the status bar shows where the size label lies.
    QImage sizePlace() { return bar->grab(size->geometry()).toImage(); }

    QLabel* status = nullptr;
    QLabel* size = nullptr;
    QWidget* bar = nullptr;
};

TEST_F(ActionsTest, EveryButtonShowsItsCommandsActionWithAHintThatFits) {
    const QRect close = button("cmdFechar")->geometry();
    EXPECT_GE(status->x(), 0);
    EXPECT_LE(status->geometry().right(), close.left());
    const auto buttons = w->findChildren<ToolbarButton*>();
    ASSERT_GE(buttons.size(), 19);
    for (ToolbarButton* b : buttons) {
        SCOPED_TRACE(b->objectName().toStdString());
        QAction* a = w->action(b->objectName());
        ASSERT_TRUE(a);
        EXPECT_EQ(b->action(), a);
        EXPECT_EQ(b->isEnabled(), a->isEnabled());
        EXPECT_TRUE(QIcon::hasThemeIcon(a->icon().name())) << "a theme picture, not a drawn one";

        // The hint while the pointer is over the button, and nothing after.
        away();
        b->raise(); // the stop button lies behind the start button
        hover(b);
        EXPECT_EQ(status->text(), a->statusTip());
        const int needed = status->fontMetrics().horizontalAdvance(status->text());
        EXPECT_GE(status->contentsRect().width(), needed);
        away();
        EXPECT_EQ(status->text(), "");
    }
    button("ctbSlide")->raise();
    EXPECT_EQ(w->action("ctbNada"), nullptr);
    EXPECT_EQ(button("button1_4")->caption(), "Converter");
}

TEST_F(ActionsTest, F1TriggersHelpAndTheCloseButtonCloses) {
    QAction* help = w->action("ctbajuda");
    EXPECT_EQ(help->shortcut(), QKeySequence(Qt::Key_F1));
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QSignalSpy triggered(help, &QAction::triggered);
    QTest::keyClick(w->findChild<FileListBox*>("File1"), Qt::Key_F1);
    EXPECT_EQ(triggered.count(), 1);

    QTest::mouseClick(button("cmdFechar"), Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(ActionsTest, TheHintCoversTheSizeLabelAndTheSizeShowsWhenItGoes) {
    size->setText("");
    const QImage bare = sizePlace();
    size->setText("48271 bytes");
    const QImage withSize = sizePlace();
    ASSERT_NE(withSize, bare);

    hover(button("ctbClips"));
    ASSERT_EQ(status->text(), "Thumbnails");
    const QImage hintOverSize = sizePlace();
    size->setText("");
    EXPECT_EQ(sizePlace(), hintOverSize) << "the size label shows through the hint";
    size->setText("48271 bytes");

    away();
    EXPECT_EQ(sizePlace(), withSize) << "the hint label hides the size once cleared";
}

TEST_F(ActionsTest, OfTheTwoSlideButtonsOnlyTheOneInFrontShows) {
    QWidget* commands = w->findChild<QWidget*>("CtbBar3");
    ToolbarButton* start = button("ctbSlide");
    ToolbarButton* stop = button("ctbSlideF");
    ASSERT_EQ(start->geometry(), stop->geometry());
    auto place = [&] { return commands->grab(start->geometry()).toImage(); };
    const QImage both = place();
    stop->hide();
    const QImage startAlone = place();
    stop->show();
    EXPECT_EQ(both, startAlone);

    stop->raise();
    const QImage stopInFront = place();
    start->hide();
    EXPECT_EQ(stopInFront, place());
    EXPECT_NE(stopInFront, startAlone);
    start->show();
    start->raise();
}
