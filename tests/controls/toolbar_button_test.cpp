#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "controls/icons.h"
#include "controls/toolbar_button.h"

using namespace fotello;

class ToolbarButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.resize(300, 100);
        a = new ToolbarButton("a", &host);
        b = new ToolbarButton("b", &host);
        a->setPicture(DrawnIcon("A", Qt::blue));
        b->setPicture(DrawnIcon("B", Qt::red));
        a->setGeometry(10, 10, 40, 40);
        b->setGeometry(50, 10, 40, 40); // touching: straight from one to the next
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        QTest::mouseMove(&host, QPoint(250, 80));
    }
    void moveTo(QPoint p) { QTest::mouseMove(&host, p); }

    QWidget host;
    ToolbarButton* a = nullptr;
    ToolbarButton* b = nullptr;
};

TEST_F(ToolbarButtonTest, EnterAndExitOnceEach) {
    QSignalSpy enterA(a, &ToolbarButton::MouseEnter), exitA(a, &ToolbarButton::MouseExit);
    QSignalSpy enterB(b, &ToolbarButton::MouseEnter);
    QStringList order;
    QObject::connect(a, &ToolbarButton::MouseExit, [&] { order << "exitA"; });
    QObject::connect(b, &ToolbarButton::MouseEnter, [&] { order << "enterB"; });

    moveTo({20, 20});
    moveTo({25, 25});
    moveTo({30, 30}); // moving inside raises nothing more
    EXPECT_EQ(enterA.count(), 1);
    EXPECT_EQ(exitA.count(), 0);
    EXPECT_TRUE(a->isHovered());

    moveTo({60, 20});
    EXPECT_EQ(exitA.count(), 1);
    EXPECT_EQ(enterB.count(), 1);
    EXPECT_EQ(order, (QStringList{"exitA", "enterB"}))
        << "the first button's exit comes before the next one's enter";

    moveTo({250, 80});
    moveTo({260, 85});
    EXPECT_EQ(exitA.count(), 1);
    EXPECT_EQ(enterA.count(), 1);
}

TEST_F(ToolbarButtonTest, ClickOnReleaseOverTheButton) {
    QSignalSpy click(a, &ToolbarButton::Click);
    QTest::mousePress(a, Qt::LeftButton, {}, {20, 20});
    EXPECT_EQ(click.count(), 0) << "not on press";
    QTest::mouseRelease(a, Qt::LeftButton, {}, {20, 20});
    EXPECT_EQ(click.count(), 1);

    // Pressed on it, released elsewhere: no click.
    QTest::mousePress(a, Qt::LeftButton, {}, {20, 20});
    QTest::mouseRelease(a, Qt::LeftButton, {}, {200, 20});
    EXPECT_EQ(click.count(), 1);

    // Released over it without a press on it: no click.
    QTest::mouseRelease(a, Qt::LeftButton, {}, {20, 20});
    EXPECT_EQ(click.count(), 1);

    // Other buttons do not click.
    QTest::mouseClick(a, Qt::RightButton, {}, {20, 20});
    EXPECT_EQ(click.count(), 1);
}

TEST_F(ToolbarButtonTest, DisabledButtonsNeverClick) {
    QSignalSpy click(a, &ToolbarButton::Click);
    a->setEnabled(false);
    QTest::mouseClick(a, Qt::LeftButton, {}, {20, 20});
    EXPECT_EQ(click.count(), 0);

    // Disabled between press and release.
    a->setEnabled(true);
    QTest::mousePress(a, Qt::LeftButton, {}, {20, 20});
    a->setEnabled(false);
    a->setEnabled(true);
    QTest::mouseRelease(a, Qt::LeftButton, {}, {20, 20});
    EXPECT_EQ(click.count(), 0);
}

TEST_F(ToolbarButtonTest, HidingUnderThePointerCountsAsLeaving) {
    QSignalSpy enterA(a, &ToolbarButton::MouseEnter), exitA(a, &ToolbarButton::MouseExit);
    moveTo({20, 20});
    a->hide();
    EXPECT_EQ(exitA.count(), 1);
    a->show();
    moveTo({250, 80});
    moveTo({260, 80});
    EXPECT_EQ(exitA.count(), enterA.count()) << "every enter is matched by exactly one exit";
}

TEST(ToolbarPictures, FallbackIsDrawnWhenTheThemeLacksTheIcon) {
    const auto pic = MakeToolbarPicture("fotello-no-such-icon", "X", Qt::darkGreen);
    ASSERT_FALSE(pic.normal.isNull());
    const QImage img = pic.normal.pixmap(32).toImage();
    EXPECT_GT(qAlpha(img.pixel(16, 16)), 0) << "something is drawn";
    const QImage hover = pic.hover.pixmap(32).toImage();
    EXPECT_GT(qGray(hover.pixel(6, 16)), qGray(img.pixel(6, 16)))
        << "the hover picture is brighter";
}
