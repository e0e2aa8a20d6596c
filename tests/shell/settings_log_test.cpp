// Why the settings could not be read reaches the fotello.settings log.

#include <gtest/gtest.h>

#include "settings_db_maker.h"
#include "shell/settings_log.h"
#include "tests/platform/log_capture.h"

namespace fotello {
namespace {

using testing::LogCapture;

class SettingsLog : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
            GTEST_SKIP() << "QT_LOGGING_RULES overrides the rules these tests set";
        dir = test::MakeTempDir();
    }
    void TearDown() override {
        if (!dir.empty())
            test::RemoveTree(dir);
    }
    QString path() const { return QString::fromStdString(dir + "/cadastro.db"); }
    std::string dir;
};

// The one warning logged; all of them when there is not exactly one.
QString OnlyWarning(const LogCapture& log) {
    QStringList texts;
    for (const auto& line : log.lines("fotello.settings"))
        if (line.type == QtWarningMsg)
            texts << line.text;
    return texts.size() == 1 ? texts[0] : "warnings: " + texts.join(" | ");
}

TEST_F(SettingsLog, DatabasesThatCannotBeReadSayWhy) {
    {
        LogCapture log("fotello.*=true");
        EXPECT_FALSE(OpenSettingsDb(path()));
        EXPECT_EQ(OnlyWarning(log), "settings not opened: não encontrado: " + path());
    }
    ASSERT_TRUE(test::MakeSettingsDb(path().toStdString(), kSettingsPassword,
                                     test::ConfigSql() + "DELETE FROM Config;"));
    LogCapture log("fotello.*=true");
    const auto db = OpenSettingsDb(path());
    ASSERT_TRUE(db);
    EXPECT_FALSE(ReadSettingsRecord(*db));
    EXPECT_EQ(OnlyWarning(log), "settings record not read: Config sem registros");
}

TEST_F(SettingsLog, ARecordReadIsDebugLinesAndNothingIsSaidByDefault) {
    ASSERT_TRUE(test::MakeSettingsDb(path().toStdString(), kSettingsPassword,
                                     test::ConfigSql("3", "NULL")));
    {
        LogCapture log("");
        const auto db = OpenSettingsDb(path());
        ASSERT_TRUE(db);
        EXPECT_TRUE(ReadSettingsRecord(*db));
        EXPECT_FALSE(OpenSettingsDb(path() + ".nada"));
        EXPECT_TRUE(log.lines().empty());
    }
    LogCapture log("fotello.*=true");
    const auto db = OpenSettingsDb(path());
    ASSERT_TRUE(db && ReadSettingsRecord(*db));
    QStringList texts;
    for (const auto& line : log.lines("fotello.settings")) {
        EXPECT_EQ(line.type, QtDebugMsg);
        texts << line.text;
    }
    EXPECT_EQ(texts, (QStringList{"slide = \"3\"", "fundojanela = null", "fundotela = \"0\"",
                                  "thumbs = \"100 x 100 - 80 x 80\"", "ativezoom = \"Sim\""}));
}

} // namespace
} // namespace fotello
