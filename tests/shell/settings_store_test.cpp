#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "settings_db_maker.h"
#include "shell/settings_store.h"

using namespace fotello;
using namespace fotello::test;

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { dir = MakeTempDir(); }
    void TearDown() override { RemoveTree(dir); }
    std::string path() const { return dir + "/cadastro.db"; }
    std::string dir;
};

TEST_F(SettingsStoreTest, FractionsAndNullsAndOnlyTheFirstRecord) {
    ASSERT_TRUE(MakeSettingsDb(path(), kSettingsPassword,
                               ConfigSql("2.5", "NULL") +
                                   "INSERT INTO Config VALUES (9, 9, 9, 'x', 'Não');"));
    auto r = SettingsDb::Open(path(), kSettingsPassword)->FirstRecord();
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[ConfigField::Slide], "2.5");
    EXPECT_FALSE((*r)[ConfigField::FundoJanela].has_value());
    EXPECT_EQ((*r)[ConfigField::Thumbs], "100 x 100 - 80 x 80");
}

TEST_F(SettingsStoreTest, MissingFileIsNotCreated) {
    std::string why;
    EXPECT_FALSE(SettingsDb::Open(path(), kSettingsPassword, &why));
    EXPECT_FALSE(why.empty());
    struct stat st {};
    EXPECT_NE(::stat(path().c_str(), &st), 0) << "opening must never create the database";
}

TEST_F(SettingsStoreTest, WrongPasswordAndPlainFilesAreRefused) {
    ASSERT_TRUE(MakeSettingsDb(path(), "outra", ConfigSql()));
    EXPECT_FALSE(SettingsDb::Open(path(), kSettingsPassword));

    const std::string plain = dir + "/plain.db";
    ASSERT_TRUE(MakeSettingsDb(plain, "", ConfigSql()));
    EXPECT_FALSE(SettingsDb::Open(plain, kSettingsPassword));

    const std::string junk = dir + "/junk.db";
    std::ofstream(junk) << "isto não é um banco de dados";
    EXPECT_FALSE(SettingsDb::Open(junk, kSettingsPassword));
    EXPECT_FALSE(SettingsDb::Open(dir, kSettingsPassword)) << "a folder is not a database";
}

TEST_F(SettingsStoreTest, EmptyTableOrNoTableGivesNoRecord) {
    ASSERT_TRUE(MakeSettingsDb(path(), kSettingsPassword,
                               "CREATE TABLE Config (slide REAL, thumbs TEXT);"));
    auto db = SettingsDb::Open(path(), kSettingsPassword);
    ASSERT_TRUE(db);
    EXPECT_FALSE(db->FirstRecord());

    const std::string other = dir + "/other.db";
    ASSERT_TRUE(MakeSettingsDb(other, kSettingsPassword, "CREATE TABLE Outra (a INT);"));
    EXPECT_FALSE(SettingsDb::Open(other, kSettingsPassword)->FirstRecord());
}

TEST_F(SettingsStoreTest, MissingColumnsStayUnset) {
    ASSERT_TRUE(MakeSettingsDb(path(), kSettingsPassword,
                               "CREATE TABLE Config (THUMBS TEXT, slide REAL);"
                               "INSERT INTO Config VALUES ('80 x 80 - 64 x 64', 7);"));
    auto r = SettingsDb::Open(path(), kSettingsPassword)->FirstRecord();
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[ConfigField::Thumbs], "80 x 80 - 64 x 64") << "field names match in any case";
    EXPECT_EQ((*r)[ConfigField::Slide], "7");
    EXPECT_FALSE((*r)[ConfigField::AtiveZoom].has_value());
}
