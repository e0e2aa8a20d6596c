#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QLineEdit>
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
    QStringList order;
    QObject::connect(a, &ToolbarButton::MouseExit, [&] { order << "exitA"; });
    QObject::connect(b, &ToolbarButton::MouseEnter, [&] { order << "enterB"; });

    moveTo({20, 20});
    moveTo({30, 30}); // moving inside raises nothing more
    EXPECT_EQ(enterA.count(), 1);
    EXPECT_EQ(exitA.count(), 0);
    EXPECT_TRUE(a->isHovered());

    moveTo({60, 20});
    EXPECT_EQ(order, (QStringList{"exitA", "enterB"}))
        << "one exit from the first button, then one enter into the next";

    // Hiding under the pointer counts as leaving, once.
    moveTo({20, 20});
    a->hide();
    EXPECT_EQ(exitA.count(), 2);
    a->show();
    moveTo({250, 80});
    moveTo({260, 80});
    EXPECT_EQ(exitA.count(), enterA.count()) << "every enter is matched by exactly one exit";
}

TEST_F(ToolbarButtonTest, ClickOnReleaseOverTheButton) {
    QSignalSpy click(a, &ToolbarButton::Click);
    QTest::mousePress(a, Qt::LeftButton, {}, {20, 20});
    EXPECT_EQ(click.count(), 0) << "not on press";
    QTest::mouseRelease(a, Qt::LeftButton, {}, {20, 20});
    EXPECT_EQ(click.count(), 1);

    // No click: pressed on it and released elsewhere, released over it without a press on it,
    // other mouse buttons, a button disabled between press and release.
    QTest::mousePress(a, Qt::LeftButton, {}, {20, 20});
    QTest::mouseRelease(a, Qt::LeftButton, {}, {200, 20});
    QTest::mouseRelease(a, Qt::LeftButton, {}, {20, 20});
    QTest::mouseClick(a, Qt::RightButton, {}, {20, 20});
    QTest::mousePress(a, Qt::LeftButton, {}, {20, 20});
    a->setEnabled(false);
    a->setEnabled(true);
    QTest::mouseRelease(a, Qt::LeftButton, {}, {20, 20});
    EXPECT_EQ(click.count(), 1);
}

TEST_F(ToolbarButtonTest, KeysClickTheFocusedButtonAndAMouseClickLeavesTheFocusAlone) {
    auto* edit = new QLineEdit(&host);
    edit->setGeometry(100, 60, 80, 24);
    edit->show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    QSignalSpy click(a, &ToolbarButton::Click);
    a->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(a->hasFocus());
    QTest::keyClick(a, Qt::Key_Space);
    EXPECT_EQ(click.count(), 1);
    QTest::keyClick(a, Qt::Key_Return);
    QTest::keyClick(a, Qt::Key_Enter);
    QTest::keyClick(a, Qt::Key_A);
    EXPECT_EQ(click.count(), 3) << "other keys do not click";

    QTest::keyClick(a, Qt::Key_Tab);
    EXPECT_TRUE(b->hasFocus()) << "Tab reaches the next button";

    edit->setFocus();
    QTest::mouseClick(a, Qt::LeftButton, {}, {20, 20});
    EXPECT_EQ(click.count(), 4);
    EXPECT_TRUE(edit->hasFocus());
}

TEST_F(ToolbarButtonTest, FollowsItsActionAndTriggersIt) {
    QAction act(QString::fromUtf8("Renomear o arquivo"));
    act.setStatusTip("Renomear");
    act.setIcon(DrawnIcon("R", Qt::darkGreen));
    a->setAction(&act);
    EXPECT_EQ(a->toolTip(), QString::fromUtf8("Renomear o arquivo"));
    EXPECT_EQ(a->picture().cacheKey(), act.icon().cacheKey());
    QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(a);
    ASSERT_TRUE(acc);
    EXPECT_EQ(acc->text(QAccessible::Name), QString::fromUtf8("Renomear o arquivo"));
    EXPECT_EQ(acc->text(QAccessible::Description), "Renomear");
    EXPECT_EQ(acc->role(), QAccessible::Button);

    QSignalSpy triggered(&act, &QAction::triggered), click(a, &ToolbarButton::Click);
    QTest::mouseClick(a, Qt::LeftButton, {}, {20, 20});
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_EQ(click.count(), 1);

    act.setEnabled(false);
    EXPECT_FALSE(a->isEnabled());
    QTest::mouseClick(a, Qt::LeftButton, {}, {20, 20});
    a->click(); // keyboard and programmatic clicks alike
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_EQ(click.count(), 1);

    act.setEnabled(true);
    act.setText("Outro nome");
    EXPECT_TRUE(a->isEnabled());
    EXPECT_EQ(a->accessibleName(), "Outro nome");

    // Another action: the first no longer steers the button.
    QAction other("Segunda");
    a->setAction(&other);
    act.setEnabled(false);
    EXPECT_TRUE(a->isEnabled());
    a->click();
    EXPECT_EQ(triggered.count(), 1);
}

// Share of the pixels drawn in either folder picture that clearly differ.
static double Apart(const QIcon& closed, const QIcon& open) {
    const QImage c = closed.pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32),
                 o = open.pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32);
    int drawn = 0, differ = 0;
    for (int i = 0; i < 256; ++i) {
        const QRgb p = c.pixel(i % 16, i / 16), q = o.pixel(i % 16, i / 16);
        drawn += qAlpha(p) || qAlpha(q);
        differ += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                      std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q)) >
                  96;
    }
    return drawn ? double(differ) / drawn : 0.0;
}

TEST(ToolbarPictures, ThemeOrDrawnFoldersAreClearlyApartAndMissingIconsDrawn) {
    ChooseIconTheme();
    ASSERT_TRUE(QIcon::hasThemeIcon("folder") && QIcon::hasThemeIcon("folder-open"))
        << "the icon theme (breeze-icon-theme) is not installed";
    EXPECT_GT(Apart(FolderPicture(false), FolderPicture(true)), 0.5);
    EXPECT_EQ(FolderPicture(false).name(), "folder");

    // Without any theme, the drawn pair.
    const QString theme = QIcon::themeName(), fallback = QIcon::fallbackThemeName();
    QIcon::setThemeName("fotello-no-such-theme");
    QIcon::setFallbackThemeName("fotello-no-such-theme");
    const QIcon closed = FolderPicture(false), open = FolderPicture(true);
    QIcon::setThemeName(theme);
    QIcon::setFallbackThemeName(fallback);
    EXPECT_TRUE(closed.name().isEmpty()) << "drawn, not the theme's";
    EXPECT_GT(Apart(closed, open), 0.25);

    // A name the theme lacks: a drawn picture, brighter under the pointer.
    const auto pic = MakeToolbarPicture("fotello-no-such-icon", "X", Qt::darkGreen);
    ASSERT_FALSE(pic.normal.isNull());
    const QImage img = pic.normal.pixmap(32).toImage();
    EXPECT_GT(qAlpha(img.pixel(16, 16)), 0) << "something is drawn";
    const QImage hover = pic.hover.pixmap(32).toImage();
    EXPECT_GT(qGray(hover.pixel(6, 16)), qGray(img.pixel(6, 16)))
        << "the hover picture is brighter";
}
