// The print-layout control: the sheet it renders.
#include <gtest/gtest.h>

#include <QPainter>

#include "cups_sandbox.h"
#include "print/aa_print_picture.h"

namespace fotello {
namespace {

// The sheet: background, the picture where the layout puts it, the border
// where the picture sits at its own size.
TEST(PrintPicture, RendersTheSheet) {
    test::CupsSandbox::instance();
    struct Case {
        const char* what;
        std::int32_t paper;
        QSize picture;
        bool stretch;
    } cases[] = {
        {"A5, centred", kPaperA5, {120, 80}, false},
        {"stretched, with its border", kPaperA4, {100, 60}, true},
    };
    const QColor back(0x20, 0x40, 0x60), border(0xFF, 0, 0), fill(0, 0xC0, 0);
    for (const Case& c : cases) {
        AAPrintPicture control("AAPrintPicture1");
        QImage picture(c.picture, QImage::Format_RGB32);
        picture.fill(fill);
        control.setPicture(picture);
        control.setPaperSize(c.paper);
        control.setStretch(c.stretch);
        control.setBackColor(0x604020);
        control.setBorderColor(0x0000FF);
        const QImage sheet = control.GetPreview();
        std::int16_t w = 0, h = 0;
        control.GetPaperWH(w, h);
        const SheetLayout l = LayoutSheet(
            {{w, h}, control.margins(), c.picture.width(), c.picture.height(), 4, c.stretch});
        ASSERT_EQ(sheet.size(), QSize(l.width, l.height)) << c.what;
        const QRect shown = QRect(l.picture.x, l.picture.y, l.picture.width, l.picture.height)
                                .intersected(sheet.rect());
        const QRect frame(l.border.x, l.border.y, l.border.width, l.border.height);
        EXPECT_EQ(sheet.pixelColor(shown.center() + QPoint(3, 3)), fill) << c.what;
        if (sheet.rect().contains(frame.topLeft())) {
            EXPECT_EQ(sheet.pixelColor(frame.topLeft()), border) << c.what;
            EXPECT_EQ(sheet.pixelColor(frame.bottomRight() + QPoint(1, 1)), border) << c.what;
        }
        if (!c.stretch && sheet.rect().contains(frame)) {
            EXPECT_EQ(sheet.pixelColor(1, 1), back) << c.what;
        }
        if (c.stretch) { // the picture covers the sheet to its corners
            EXPECT_EQ(sheet.pixelColor(sheet.width() - 1, sheet.height() - 1), fill) << c.what;
        }
    }
}

} // namespace
} // namespace fotello
