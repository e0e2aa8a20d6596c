// The settings page against a real settings database.

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "../browse/browse_fixture.h"
#include "files/frm_copy_move.h"
#include "shell/settings_store.h"

using namespace fotello;
using namespace fotello::test;

class SettingsPageTest : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        db = program.toStdString() + "/" + kSettingsFileName;
        ASSERT_TRUE(
            MakeSettingsDb(db, kSettingsPassword,
                           ConfigSql("5", "255", "16777215", "'120 x 120 - 100 x 100'", "'sim'")));
        qputenv("XDG_CONFIG_HOME", (dir + "/config").toLocal8Bit());
        start();
    }
    void TearDown() override {
        delete FrmCopyMove::Loaded();
        qputenv("XDG_CONFIG_HOME", "/nonexistent/fotello-tests-config");
        BrowseFixture::TearDown();
    }
    FrmCopyMove* open() {
        w->action(QString("ctbTools"))->trigger();
        FrmCopyMove* d = FrmCopyMove::Loaded();
        EXPECT_TRUE(QTest::qWaitFor([&] { return box("Text2")->text() == "5"; }, kWaitMs))
            << "loaded when it became active";
        return d;
    }
    QLineEdit* box(const char* name) { return Control<QLineEdit>(*FrmCopyMove::Loaded(), name); }
    template <class T> T* page(const char* name) {
        return Control<T>(*FrmCopyMove::Loaded(), name);
    }
    void click(const char* name) { QTest::mouseClick(page<QPushButton>(name), Qt::LeftButton); }
    ConfigRecord stored() const {
        auto opened = SettingsDb::Open(db, kSettingsPassword);
        return opened ? opened->FirstRecord().value_or(ConfigRecord{}) : ConfigRecord{};
    }
    QString main(const char* name) { return ctl<QLineEdit>(name)->text(); }
    std::string db;
};

TEST_F(SettingsPageTest, LoadsTheStoredRecordOnActivation) {
    FrmCopyMove* d = open();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->windowTitle(), QString::fromUtf8("Configurações"));
    EXPECT_TRUE(page<QWidget>("Picture5")->isVisible());
    EXPECT_EQ(box("Text4")->text(), "255");
    EXPECT_EQ(box("Text5")->text(), "16777215");
    EXPECT_EQ(page<QComboBox>("Combo1")->currentText(), "120 x 120 - 100 x 100");
    EXPECT_EQ(page<QComboBox>("Combo1")->count(), 7);
    // Anything but exactly "Sim" loads unticked and becomes "Não".
    EXPECT_FALSE(page<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(box("Text8")->text(), QString::fromUtf8("Não"));
    EXPECT_EQ(page<QLabel>("Picture6_0")->palette().color(QPalette::Window), QColor(Qt::red));
    EXPECT_EQ(page<QLabel>("Picture6_1")->palette().color(QPalette::Window), QColor(Qt::white));

    // Back from the main window, unsaved edits are gone.
    box("Text2")->setText("99");
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->isActiveWindow(); }));
    d->activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return box("Text2")->text() == "5"; }));
}

TEST_F(SettingsPageTest, ApplyReachesTheWindowsAndSaveTheDatabaseOnly) {
    open();
    box("Text2")->setText("");
    page<QComboBox>("Combo1")->setCurrentIndex(1);
    page<QComboBox>("Combo1")->activated(1);
    EXPECT_EQ(box("Text6")->text(), " 80 x 96 - 64 x 64");
    page<QCheckBox>("Check1")->click();
    EXPECT_EQ(box("Text8")->text(), "Sim");
    const QString janela = main("txtJanela");

    click("cmdAplicar");
    EXPECT_EQ(box("Text2")->text(), "3");
    EXPECT_EQ(main("txtSlide"), "3");
    EXPECT_EQ(main("txtZoom"), "Sim");
    EXPECT_EQ(main("txtThumbs"), " 80 x 96 - 64 x 64");
    EXPECT_EQ(w->settings().thumbs, (ThumbGeometry{80, 96, 64}));
    EXPECT_EQ(w->settings().screenBackColor, 0xFFFFFF);
    EXPECT_EQ(w->windowBackColor, 255);
    EXPECT_EQ(main("txtJanela"), janela) << "Apply leaves the stored colour fields";
    EXPECT_EQ(stored()[ConfigField::Slide], "5") << "Apply does not save";

    click("cmdSave");
    EXPECT_EQ(takeMessage(), "");
    ConfigRecord r = stored();
    EXPECT_EQ(r[ConfigField::Slide], "3");
    EXPECT_EQ(r[ConfigField::Thumbs], " 80 x 96 - 64 x 64");
    EXPECT_EQ(r[ConfigField::AtiveZoom], "Sim");
    EXPECT_EQ(r[ConfigField::FundoJanela], "255");

    box("Text2")->setText("7");
    click("cmdSave");
    EXPECT_EQ(main("txtSlide"), "3") << "Save does not apply";
}

TEST_F(SettingsPageTest, KeyFiltersAndTheColourDialog) {
    open();
    QLineEdit* slide = box("Text2");
    slide->clear();
    QTest::keyClicks(slide, "1a2-");
    QTest::keyClick(slide, Qt::Key_Backspace);
    QTest::keyClicks(slide, "7");
    EXPECT_EQ(slide->text(), "17");
    auto* combo = page<QComboBox>("Combo1");
    QTest::keyClicks(combo, "1");
    EXPECT_EQ(combo->currentText(), "120 x 120 - 100 x 100") << "typing is refused";

    click("Command1_0");
    auto* colours = page<QColorDialog>("CDialog1");
    ASSERT_TRUE(colours->isVisible());
    colours->setCurrentColor(QColor(0, 255, 0));
    colours->accept();
    EXPECT_EQ(page<QLabel>("Picture6_0")->palette().color(QPalette::Window), QColor(0, 255, 0));
    EXPECT_EQ(box("Text4")->text(), " 65280");
    EXPECT_EQ(w->windowBackColor, 255) << "a colour reaches the window only on Apply";

    click("Command1_1");
    colours->setCurrentColor(QColor(0, 0, 255));
    colours->reject();
    EXPECT_EQ(page<QLabel>("Picture6_1")->palette().color(QPalette::Window), QColor(Qt::white))
        << "a cancelled dialog leaves the swatch";
    EXPECT_EQ(box("Text5")->text(), "16777215");

    click("cmdAplicar");
    EXPECT_EQ(w->windowBackColor, 65280);
}
