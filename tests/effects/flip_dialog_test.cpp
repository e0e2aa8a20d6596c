// The rotation dialog over an effects window.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include "controls.h"
#include "controls/image_control.h"
#include "controls/toolbar_button.h"
#include "effects/frm_efeitos.h"
#include "effects/rotation.h"
#include "shell/settings_rules.h"

namespace fotello {
namespace {

using test::Control;

class Host : public MainWindowHost {
public:
    QString currentFolder() const override { return {}; }
    CurrentPicture currentPicture() const override { return {}; }
    void setStatus(const QString&) override {}
    void showMessage(const QString&) override {}
    void showInPreview(const QImage&) override {}
    void redrawPreview() override {}
    void rebuildThumbnail(const QString&) override {}
    void rebuildThumbnails() override {}
    const ConfigRecord* settingsRecord() const override { return nullptr; }
    const SettingsValues& settings() const override { return values; }
    void applySettings(std::optional<std::int32_t>) override {}
    QObject* control(const QString&) const override { return nullptr; }
    QWidget* hostWidget() override { return nullptr; }
    SettingsDb* settingsDatabase() const override { return nullptr; }
    SettingsValues values;
};

class FlipDialog : public ::testing::Test {
protected:
    void SetUp() override {
        picture = QImage(300, 200, QImage::Format_RGB32);
        picture.fill(QColor(200, 30, 30));
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 10; ++x)
                picture.setPixel(x, y, qRgb(0, 0, 255)); // left band blue
        CurrentPicture c{"/nada/x.bmp",        "/nada/x.bmp", "x.bmp",
                         PictureKind::Unknown, picture,       picture.size()};
        w = std::make_unique<FrmEfeitos>(host);
        w->OpenPicture("/nada", c);
        w->show();
    }
    QDialog* open(const char* item) {
        Control<QAction>(*w, item)->trigger();
        return Control<QDialog>(*w, "frmFlip");
    }
    template <class T> T* ctl(const char* name) { return Control<T>(*w, name); }
    void ok() { ctl<ToolbarButton>("ctbOk")->click(); }
    QImage shown() { return ctl<ImageControl>("Picture1")->picture(); }
    bool menusOn() {
        return ctl<QAction>("mnuAplic")->isEnabled() && ctl<QAction>("mnuSave")->isEnabled() &&
               ctl<QAction>("mnuDesfaz")->isEnabled();
    }

    Host host;
    QImage picture;
    std::unique_ptr<FrmEfeitos> w;
};

TEST_F(FlipDialog, TheCaptionChoosesThePanel) {
    QDialog* d = open("mnuDef");
    EXPECT_EQ(d->windowTitle(), "Rotate");
    EXPECT_TRUE(ctl<QWidget>("PictRotate")->isVisible());
    EXPECT_FALSE(ctl<QWidget>("PictControl")->isVisible());
    EXPECT_FALSE(d->isModal());
    EXPECT_EQ(ctl<QGroupBox>("Frame1")->title(), QString::fromUtf8("Ângulo:"));
    EXPECT_EQ(ctl<QRadioButton>("optdir_1")->text(), QString::fromUtf8("Anti-Horário"));
    open("mnuShake");
    EXPECT_EQ(d->windowTitle(), "Shake");
    EXPECT_TRUE(ctl<QWidget>("PictControl")->isVisible());
    EXPECT_FALSE(ctl<QWidget>("PictRotate")->isVisible());
}

TEST_F(FlipDialog, OptionsScrollBarAndTypedAngle) {
    open("mnuDef");
    auto* text = ctl<QLineEdit>("txtCusa");
    auto* scroll = ctl<QScrollBar>("VScroll1");
    ctl<QRadioButton>("Opt270")->click();
    EXPECT_EQ(text->text(), "270");
    EXPECT_FALSE(text->isEnabled());
    EXPECT_FALSE(scroll->isEnabled());
    ctl<QRadioButton>("OptCustom")->click();
    EXPECT_TRUE(text->isEnabled());
    EXPECT_TRUE(scroll->isEnabled());
    // The near end is 360, the far end 1: the top arrow raises the angle.
    scroll->resize(18, 122);
    QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(9, 4));
    EXPECT_EQ(text->text(), "91");
    QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(9, 118));
    QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(9, 118));
    EXPECT_EQ(text->text(), "89");
    text->setFocus();
    text->setText("12");
    text->setCursorPosition(2);
    QTest::keyClick(text, Qt::Key_A);
    QTest::keyClick(text, Qt::Key_Minus);
    EXPECT_EQ(text->text(), "12");
    QTest::keyClick(text, Qt::Key_5);
    QTest::keyClick(text, Qt::Key_7);
    EXPECT_EQ(text->text(), "125"); // three characters at most
    QTest::keyClick(text, Qt::Key_Backspace);
    EXPECT_EQ(text->text(), "12");
}

TEST_F(FlipDialog, AnAngleOutsideTheRangeIsRefusedAndTheDialogStays) {
    QPointer<QDialog> d = open("mnuDef");
    ctl<QRadioButton>("OptCustom")->click();
    ctl<QLineEdit>("txtCusa")->setText("361");
    ok();
    auto boxes = d->findChildren<QMessageBox*>("mensagem");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->text(), QString::fromUtf8("O ângulo de rotação deve estar entre 0°-360°"));
    EXPECT_EQ(boxes[0]->windowTitle(), QString::fromUtf8("Angulo de Rotação"));
    delete boxes[0];
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(ctl<QLineEdit>("txtCusa")->selectedText(), "361");
    EXPECT_EQ(shown(), picture);
    ctl<QLineEdit>("txtCusa")->setText("");
    ok();
    EXPECT_EQ(d->findChildren<QMessageBox*>("mensagem").size(), 1);
}

TEST_F(FlipDialog, NinetyOnAWidePictureGivesASquareAndTheDirectionsTurnOpposite) {
    Control<QAction>(*w, "mnuDesfaz")->trigger();
    QImage turned[2];
    for (int dir = 0; dir < 2; ++dir) {
        QPointer<QDialog> d = open("mnuDef");
        ctl<QRadioButton>("Opt90")->click();
        ctl<QRadioButton>(dir == 0 ? "optdir_0" : "optdir_1")->click();
        ok();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !d->isVisible(); }));
        turned[dir] = shown();
        EXPECT_EQ(turned[dir].size(), QSize(300, 300));
        EXPECT_TRUE(menusOn());
        // The strips beside the turned picture show the background.
        EXPECT_EQ(turned[dir].pixel(10, 150) & 0xFFFFFF, kRotateBackground & 0xFFFFFF);
    }
    // The blue left edge lands on the top for one direction, the bottom for the other.
    const auto blueRow = [](const QImage& img) {
        for (int y = 0; y < img.height(); ++y)
            if (img.pixel(150, y) == qRgb(0, 0, 255))
                return y;
        return -1;
    };
    const int a = blueRow(turned[0]), b = blueRow(turned[1]);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_NEAR(a + b, 290, 6);
    EXPECT_GT(std::abs(a - b), 100);
}

TEST_F(FlipDialog, CancelLeavesEverythingAsItWas) {
    Control<QAction>(*w, "mnuDesfaz")->trigger();
    QPointer<QDialog> d = open("mnuDef");
    ctl<ToolbarButton>("ctbCancelar")->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(shown(), picture);
    EXPECT_FALSE(ctl<QAction>("mnuSave")->isEnabled());
}

TEST_F(FlipDialog, ShakeDrawsCirclesAndRefusesAZeroStep) {
    Control<QAction>(*w, "mnuDesfaz")->trigger();
    QPointer<QDialog> d = open("mnuShake");
    ctl<QLineEdit>("Text1")->setText("0");
    ok();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(shown(), picture);
    ctl<QLineEdit>("Text1")->setText("4");
    ok();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d->isVisible(); }));
    EXPECT_TRUE(menusOn());
    EXPECT_EQ(shown().size(), picture.size());
    EXPECT_NE(shown(), picture); // the blue edge's circles spread to the right
}

} // namespace
} // namespace fotello
