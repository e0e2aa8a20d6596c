#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "settings_db_maker.h"
#include "shell/folder_listing.h"
#include "shell/folder_scan.h"
#include "unreadable_folder.h"

using namespace fotello;

namespace {
const std::vector<std::string> kPictures = SplitPatterns("*.bmp;*.jpg;*.wmf;*.gif;*.ico;*.cur");

void touch(const std::string& path) {
    std::ofstream(path) << "x";
}
} // namespace

TEST(FolderListing, PatternsAndMatching) {
    EXPECT_EQ(kPictures.size(), 6u);
    EXPECT_EQ(SplitPatterns(";*.a;;*.b;"), (std::vector<std::string>{"*.a", "*.b"}));
    // Names may hold the wildcard characters themselves.
    const std::pair<const char*, bool> jpg[] = {
        {"FOTO.JPG", true},   {"casa.bmp.jpg", true}, {"casa.jpg.txt", false},
        {"casa.jpeg", false}, {".jpg", true},         {"*a.jpg", true},
        {"**.jpg", true},     {"?.jpg", true},        {"*a.bmp", false}};
    for (const auto& [name, match] : jpg)
        EXPECT_EQ(MatchesPattern(name, "*.jpg"), match) << name;
    EXPECT_TRUE(MatchesPattern("a1b", "a?b"));
    EXPECT_TRUE(MatchesPattern("abcbcd", "*bc*d"));
}

TEST(FolderListing, NameOrderIgnoresCase) {
    std::vector<std::string> v{"b.jpg", "A.jpg", "a.jpg", "C.JPG", "10.bmp", "9.bmp"};
    std::sort(v.begin(), v.end(), NameLess);
    EXPECT_EQ(v, (std::vector<std::string>{"10.bmp", "9.bmp", "A.jpg", "a.jpg", "b.jpg", "C.JPG"}));
    // Names equal but for case, given in reverse order: their bytes decide.
    std::vector<std::string> same{"foto.jpg", "Foto.jpg", "FOTO.jpg", "FOTO.JPG"};
    std::sort(same.begin(), same.end(), NameLess);
    EXPECT_EQ(same, (std::vector<std::string>{"FOTO.JPG", "FOTO.jpg", "Foto.jpg", "foto.jpg"}));
    EXPECT_FALSE(NameLess("a.jpg", "a.jpg"));
}

class FolderListingFs : public ::testing::Test {
protected:
    void SetUp() override { dir = test::MakeTempDir(); }
    void TearDown() override { test::RemoveTree(dir); }
    std::string dir;
};

TEST_F(FolderListingFs, ListsOnlyRegularPictureFiles) {
    for (const char* name : {"b.JPG", "a.bmp", "notas.txt", ".oculta.jpg", "-traço inicial.gif",
                             "nome\ncom quebra.ico", "bytes\xff\xfe.cur"})
        touch(dir + "/" + name);
    ::mkdir((dir + "/pasta.jpg").c_str(), 0755);
    ::mkfifo((dir + "/fila.jpg").c_str(), 0644);
    ::symlink("/dev/zero", (dir + "/zero.jpg").c_str());
    ::symlink((dir + "/a.bmp").c_str(), (dir + "/ligacao.bmp").c_str());
    ::symlink((dir + "/nada").c_str(), (dir + "/quebrada.jpg").c_str());
    ::symlink("laco.jpg", (dir + "/laco.jpg").c_str());
    const std::string sock = dir + "/s.jpg";
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sock.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

    const auto l = ListMatchingFiles(dir, kPictures);
    ::close(fd);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.names,
              (std::vector<std::string>{"-traço inicial.gif", "a.bmp", "b.JPG", "bytes\xff\xfe.cur",
                                        "ligacao.bmp", "nome\ncom quebra.ico"}));
}

TEST_F(FolderListingFs, SubfoldersAndUnreadableFolders) {
    for (const char* name : {"/Fotos", "/abc", "/.git"})
        ::mkdir((dir + name).c_str(), 0755);
    touch(dir + "/arquivo");
    ::symlink(dir.c_str(), (dir + "/volta").c_str()); // a loop through the tree
    const auto l = ListSubfolders(dir);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.names, (std::vector<std::string>{"abc", "Fotos", "volta"}));

    EXPECT_TRUE(HasSubfolder(dir));
    EXPECT_FALSE(HasSubfolder(dir + "/abc"));
    EXPECT_TRUE(HasSubfolder(dir + "/volta")) << "through the link";
    EXPECT_FALSE(HasSubfolder(dir + "/nao-existe"));
    const auto missing = ListSubfolders(dir + "/nao-existe");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_FALSE(ListMatchingFiles(dir + "/arquivo", kPictures).ok);
}

TEST_F(FolderListingFs, EntriesOfUnknownTypeAreLookedUp) {
    // Some filesystems (and some network ones) report DT_UNKNOWN for every entry.
    ::mkdir((dir + "/sub").c_str(), 0755);
    touch(dir + "/file");
    ::symlink("sub", (dir + "/link").c_str());
    ::symlink("file", (dir + "/filelink").c_str());
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(dfd, 0);
    struct Case {
        const char* name;
        unsigned char type;
        bool want;
    } const cases[] = {
        {"sub", DT_UNKNOWN, true},   {"file", DT_UNKNOWN, false}, {"link", DT_UNKNOWN, true},
        {"filelink", DT_LNK, false}, {"link", DT_LNK, true},      {"gone", DT_UNKNOWN, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSubfolderEntry(dfd, c.name, c.type), c.want) << c.name << " " << int(c.type);
    ::close(dfd);
}

TEST_F(FolderListingFs, ScanTellsWhichSubfoldersHoldMore) {
    for (const char* name : {"/b", "/b/c", "/A"})
        ::mkdir((dir + name).c_str(), 0755);
    touch(dir + "/A/arquivo");
    const SubfolderScan scan = ScanSubfolders(dir + "/", 7);
    EXPECT_EQ(scan.generation, 7u);
    ASSERT_TRUE(scan.ok);
    ASSERT_EQ(scan.entries.size(), 2u);
    EXPECT_EQ(scan.entries[0].name, "A");
    EXPECT_FALSE(scan.entries[0].hasSubfolders);
    EXPECT_EQ(scan.entries[1].name, "b");
    EXPECT_TRUE(scan.entries[1].hasSubfolders);

    const SubfolderScan missing = ScanSubfolders(dir + "/nao-existe/", 8);
    EXPECT_EQ(missing.generation, 8u);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, ENOENT);
}

TEST(FolderListing, AFolderThatOpensButRefusesItsListingIsUnreadable) {
    const char* kUnreadable = test::UnreadableFolder();
    if (!kUnreadable)
        GTEST_SKIP() << "no folder here refuses its listing";
    for (const auto& l : {ListMatchingFiles(kUnreadable, {"*"}), ListSubfolders(kUnreadable)}) {
        EXPECT_FALSE(l.ok);
        EXPECT_EQ(l.error, EACCES);
        EXPECT_TRUE(l.names.empty());
    }
}
