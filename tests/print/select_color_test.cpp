// The colour selector: a swatch, a chooser on double click, Changed after a pick.
#include <gtest/gtest.h>

#include <QColorDialog>
#include <QSignalSpy>
#include <QTest>

#include "controls.h"
#include "print/aa_select_color.h"

namespace fotello {
namespace {

using test::Control;

QColor Swatch(const AASelectColor& c) {
    return Control<QWidget>(c, "picColor")->palette().color(QPalette::Window);
}

TEST(SelectColor, StartsWhiteAndCodeRaisesNothing) {
    AASelectColor selector("AASelectColor1");
    QSignalSpy changed(&selector, &AASelectColor::Changed);
    EXPECT_EQ(selector.Color(), 0xFFFFFF);
    EXPECT_EQ(Swatch(selector), QColor(Qt::white));
    selector.setColor(0x0000FF); // 0x00BBGGRR: red
    EXPECT_EQ(selector.Color(), 0x0000FF);
    EXPECT_EQ(Swatch(selector), QColor(255, 0, 0));
    EXPECT_EQ(changed.count(), 0);
}

TEST(SelectColor, ChooserOpensOnTheColourAndReportsThePick) {
    // Accepted: the pick; cancelled: the colour it had. Changed either way.
    for (const auto& [accept, expected] : {std::pair{true, 0x40E0A0}, {false, 0x102030}}) {
        AASelectColor selector("AASelectColor2");
        selector.setColor(0x102030);
        selector.show();
        QSignalSpy changed(&selector, &AASelectColor::Changed);
        QTest::mouseDClick(Control<QWidget>(selector, "picColor"), Qt::LeftButton);
        auto* chooser = Control<QColorDialog>(selector, "CDlgColor");
        ASSERT_TRUE(chooser->isVisible());
        EXPECT_EQ(chooser->windowTitle(), "Select Color");
        EXPECT_EQ(chooser->currentColor(), QColor(0x30, 0x20, 0x10));
        chooser->setCurrentColor(QColor(0xA0, 0xE0, 0x40));
        accept ? chooser->accept() : chooser->reject();
        EXPECT_EQ(selector.Color(), expected) << accept;
        EXPECT_EQ(changed.count(), 1) << accept;
    }
}

} // namespace
} // namespace fotello
