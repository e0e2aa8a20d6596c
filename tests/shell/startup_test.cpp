#include <filesystem>
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "controls.h"

using fotello::test::Control;
#include "controls/picture_box.h"
#include "controls/scroll_box.h"
#include "settings_db_maker.h"
#include "shell/main_window.h"
#include "shell/settings_store.h"

using namespace fotello;
using namespace fotello::test;

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { dir = MakeTempDir(); }
    void TearDown() override { RemoveTree(dir); }

    std::unique_ptr<FrmFotello> start(const std::string& sql = {},
                                      const std::string& password = kSettingsPassword) {
        if (!sql.empty())
            EXPECT_TRUE(MakeSettingsDb(dir + "/cadastro.db", password, sql));
        auto w = std::make_unique<FrmFotello>(QString::fromStdString(dir));
        w->Form_Load();
        w->show();
        return w;
    }
    static QString field(FrmFotello& w, const char* name) {
        return w.findChild<QLineEdit*>(name)->text();
    }
    static bool crossed(FrmFotello& w) {
        const PictureBox* pane = Control<PictureBox>(w, "Picture4");
        const QImage& d = pane->drawing();
        const int sw = pane->scaleWidth(), sh = pane->scaleHeight();
        return d.pixelColor(0, 0) == Qt::black && d.pixelColor(sw - 1, sh - 1) == Qt::black &&
               d.pixelColor(sw - 3, 0) == Qt::black && d.pixelColor(0, sh - 1) == Qt::black &&
               d.pixelColor(sw - 1, 0) != Qt::black;
    }

    std::string dir;
};

TEST_F(StartupTest, ShippedSettingsFillTheHiddenFields) {
    auto w = start(ConfigSql());
    EXPECT_TRUE(w->isVisible());
    const std::pair<const char*, const char*> fields[] = {
        {"txtSlide", "3"},  {"txtJanela", "8421504"},
        {"txtFundo", "0"},  {"txtThumbs", "100 x 100 - 80 x 80"},
        {"txtZoom", "Sim"}, {"Text1", "100 "},
        {"Text2", " 100"},  {"Text3", " 80"}};
    for (const auto& [name, value] : fields)
        EXPECT_EQ(field(*w, name), value) << name;
    EXPECT_EQ(w->windowBackColor, 8421504);
    EXPECT_EQ(Control<ScrollBox>(*w, "ssScroll1")->backColor(), 8421504u);
    EXPECT_TRUE(Control<QTimer>(*w, "Timer2")->isActive());
    EXPECT_TRUE(w->configRs);
    EXPECT_TRUE(w->hoverTracking);
    EXPECT_EQ(w->databasePath, QString::fromStdString(dir) + "/cadastro.db");
    // No current picture yet (which commands that turns off is the command rules' business).
    EXPECT_FALSE(Control<QWidget>(*w, "ctbRename")->isEnabled());
    EXPECT_TRUE(Control<QWidget>(*w, "button1_0")->isEnabled());
}

TEST_F(StartupTest, WithoutADatabaseTheWindowStillOpens) {
    auto w = start();
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->configRs);
    for (const char* f : {"txtSlide", "txtJanela", "txtFundo", "txtThumbs", "txtZoom"})
        EXPECT_EQ(field(*w, f), "") << f;
    // The strip gets the default geometry rather than sizes of 0.
    EXPECT_EQ(field(*w, "Text2"), " 100");
    EXPECT_EQ(field(*w, "Text3"), " 80");
    EXPECT_EQ(Control<ScrollBox>(*w, "ssScroll1")->backColor(), 0u);
    EXPECT_FALSE(Control<QTimer>(*w, "Timer2")->isActive());
    EXPECT_TRUE(crossed(*w));
    EXPECT_FALSE(std::filesystem::exists(dir + "/cadastro.db"));
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    EXPECT_EQ(QApplication::focusWidget(), Control<QWidget>(*w, "File1"))
        << "the keys browse the pictures, not the first toolbar button";
}

TEST_F(StartupTest, OddValues) {
    auto w = start(ConfigSql("NULL", "255", "0", "' 80 x 96 - 64 x 64'", "'sim'"));
    EXPECT_EQ(field(*w, "txtSlide"), "") << "a null leaves the field as it was";
    EXPECT_EQ(Control<ScrollBox>(*w, "ssScroll1")->backColor(), 255u);
    EXPECT_EQ(field(*w, "Text2").toInt(), 96) << "the parsing rules have their own tests";
    EXPECT_FALSE(Control<QTimer>(*w, "Timer2")->isActive())
        << "only \"Sim\" turns the magnifier on";
    EXPECT_TRUE(crossed(*w));

    // A null background is black; one too large for the colour leaves it so.
    for (const char* janela : {"NULL", "1e20"}) {
        w.reset();
        RemoveTree(dir + "/cadastro.db");
        w = start(ConfigSql("3", janela));
        EXPECT_EQ(w->windowBackColor, 0) << janela;
        EXPECT_EQ(Control<ScrollBox>(*w, "ssScroll1")->backColor(), 0u) << janela;
    }
}

TEST_F(StartupTest, CompanionProgramStartsWhenPresent) {
    const std::string marker = dir + "/iniciado";
    const std::string script = dir + "/orlano";
    {
        QFile f(QString::fromStdString(script));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\ntouch '" + marker + "'\n").c_str());
    }
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    auto w = start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(marker); }, 5000));
}

// The window's tests reach each control by its name; here, what none of them looks at.
TEST_F(StartupTest, HiddenFieldsAndTheWorkArea) {
    auto w = start();
    EXPECT_FALSE(Control<QLabel>(*w, "lblPath")->isVisible());
    EXPECT_FALSE(w->findChild<QLineEdit*>("txtThumbs")->isVisible());
    // The work area: left column beside the picture area, folder pane above the magnifier.
    const auto at = [&w](const char* name) {
        return Control<QWidget>(*w, name)->mapTo(w.get(), QPoint());
    };
    EXPECT_LT(at("PictHd").x(), at("Picture1").x());
    EXPECT_LT(at("PictHd").y(), at("Picture4").y());
    EXPECT_GT(Control<QWidget>(*w, "Picture1")->width(), Control<QWidget>(*w, "PictHd")->width());
}
