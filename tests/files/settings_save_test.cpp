#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include "../shell/settings_db_maker.h"
#include "files/settings_save.h"
#include "shell/settings_store.h"

namespace fotello {
namespace {

class SettingsSave : public ::testing::Test {
protected:
    void SetUp() override {
        dir = test::MakeTempDir();
        program = dir + "/programa";
        ::mkdir(program.c_str(), 0755);
        programDb = program + "/cadastro.db";
        userDb = dir + "/config/fotello/cadastro.db";
        ASSERT_TRUE(test::MakeSettingsDb(programDb, kSettingsPassword, test::ConfigSql()));
    }
    void TearDown() override { test::RemoveTree(dir); }
    static ConfigRecord Record(const std::string& path) {
        auto db = SettingsDb::Open(path, kSettingsPassword);
        EXPECT_TRUE(db) << path;
        return db ? db->FirstRecord().value_or(ConfigRecord{}) : ConfigRecord{};
    }
    // The program's folder read-only, as under /usr (permissions alone do not stop root).
    bool readOnlyProgram() {
        return ::mount(program.c_str(), program.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
               ::mount(nullptr, program.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                       nullptr) == 0;
    }
    static bool Exists(const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0;
    }
    std::string dir, program, programDb, userDb;
    const SettingsEdit edit{"", " 255", " 16777215", "120 x 120 - 100 x 100", "Não"};
};

TEST_F(SettingsSave, WritesTheFiveFieldsIntoTheProgramsDatabase) {
    std::string error;
    ASSERT_TRUE(SaveSettings(programDb, userDb, edit, &error)) << error;
    const ConfigRecord r = Record(programDb);
    EXPECT_EQ(r[ConfigField::Slide], "0"); // an empty interval stores 0
    EXPECT_EQ(r[ConfigField::FundoJanela], "255");
    EXPECT_EQ(r[ConfigField::FundoTela], "16777215");
    EXPECT_EQ(r[ConfigField::Thumbs], "120 x 120 - 100 x 100");
    EXPECT_EQ(r[ConfigField::AtiveZoom], "Não");
    EXPECT_EQ(SettingsPathToRead(programDb, userDb), programDb);
    EXPECT_FALSE(Exists(userDb)) << "no copy while the program's can be written";
}

TEST_F(SettingsSave, APerUserCopyIsWrittenWhenPresent) {
    ::mkdir((dir + "/config").c_str(), 0700);
    ::mkdir((dir + "/config/fotello").c_str(), 0700);
    ASSERT_TRUE(test::MakeSettingsDb(userDb, kSettingsPassword, test::ConfigSql("7")));
    EXPECT_EQ(SettingsPathToRead(programDb, userDb), userDb);
    ASSERT_TRUE(SaveSettings(programDb, userDb, edit));
    EXPECT_EQ(Record(userDb)[ConfigField::AtiveZoom], "Não");
    EXPECT_EQ(Record(programDb)[ConfigField::AtiveZoom], "Sim");
}

TEST_F(SettingsSave, NoRecordOrNoDatabaseIsAFailure) {
    ASSERT_TRUE(test::MakeSettingsDb(dir + "/vazio.db", kSettingsPassword,
                                     "CREATE TABLE Config (slide REAL, fundojanela REAL, "
                                     "fundotela REAL, thumbs TEXT, ativezoom TEXT);"));
    std::string error;
    EXPECT_FALSE(SaveSettings(dir + "/vazio.db", userDb, edit, &error));
    EXPECT_NE(error.find("no record"), std::string::npos) << error;
    EXPECT_FALSE(SaveSettings(dir + "/nenhum.db", userDb, edit));
    EXPECT_FALSE(Exists(userDb));
}

TEST_F(SettingsSave, AReadOnlyProgramFolderSavesIntoAPerUserCopy) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 || !readOnlyProgram())
        GTEST_SKIP() << "no private read-only mount here";
    std::string error;
    ASSERT_TRUE(SaveSettings(programDb, userDb, edit, &error)) << error;
    EXPECT_EQ(SettingsPathToRead(programDb, userDb), userDb);
    EXPECT_EQ(Record(userDb)[ConfigField::Thumbs], "120 x 120 - 100 x 100");
    EXPECT_EQ(Record(programDb)[ConfigField::Thumbs], "100 x 100 - 80 x 80");
    struct stat st {};
    ::stat(userDb.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // Nowhere to write at all: said, not pretended.
    ::umount(program.c_str());
    test::RemoveTree(dir + "/config");
    ASSERT_TRUE(readOnlyProgram());
    EXPECT_FALSE(SaveSettings(programDb, "/proc/fotello/cadastro.db", edit, &error));
    EXPECT_FALSE(error.empty());
    ::umount(program.c_str());
}

TEST(UserSettingsPath, FollowsXdgConfigHome) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("XDG_CONFIG_HOME", "/x/cfg", 1);
    EXPECT_EQ(UserSettingsPath(), "/x/cfg/fotello/cadastro.db");
    ::setenv("XDG_CONFIG_HOME", "relative", 1); // not absolute: ignored, as XDG asks
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(UserSettingsPath(), "/home/u/.config/fotello/cadastro.db");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UserSettingsPath(), "/home/u/.config/fotello/cadastro.db");
    ::setenv("HOME", home.c_str(), 1);
}

} // namespace
} // namespace fotello
