#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>

#include "../shell/settings_db_maker.h"
#include "files/file_ops.h"

namespace fotello {
namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every name in a folder: no temporary file may stay behind.
std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

unsigned Mode(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

using Op = FileResult (*)(const std::string&, const std::string&);

class FileOps : public ::testing::Test {
protected:
    void SetUp() override { dir = test::MakeTempDir(); }
    void TearDown() override { test::RemoveTree(dir); }
    std::string at(const std::string& name) const { return dir + "/" + name; }
    std::string dir;
};

TEST_F(FileOps, CopyReplacesAnExistingTargetKeepingModeAndTime) {
    Write(at("a.bmp"), "new picture");
    Write(at("b.bmp"), "old");
    ::chmod(at("a.bmp").c_str(), 0640);
    const auto when = fs::last_write_time(at("a.bmp")) - std::chrono::hours(48);
    fs::last_write_time(at("a.bmp"), when);
    ASSERT_TRUE(CopyFile(at("a.bmp"), at("b.bmp")));
    EXPECT_EQ(Read(at("b.bmp")), "new picture");
    EXPECT_EQ(Read(at("a.bmp")), "new picture");
    EXPECT_EQ(Mode(at("b.bmp")), 0640u);
    EXPECT_EQ(fs::last_write_time(at("b.bmp")), when);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"a.bmp", "b.bmp"}));
}

TEST_F(FileOps, MoveAndRenameNeverReplace) {
    for (Op op : {Op(&MoveFile), Op(&RenameFile)}) {
        Write(at("a.bmp"), "mine");
        Write(at("b.bmp"), "theirs");
        const FileResult r = op(at("a.bmp"), at("b.bmp"));
        EXPECT_FALSE(r);
        EXPECT_EQ(r.error, EEXIST);
        EXPECT_EQ(Read(at("a.bmp")), "mine");
        EXPECT_EQ(Read(at("b.bmp")), "theirs");

        ASSERT_TRUE(op(at("a.bmp"), at("c.bmp")));
        EXPECT_FALSE(fs::exists(at("a.bmp")));
        EXPECT_EQ(Read(at("c.bmp")), "mine");
        EXPECT_EQ(Names(dir), (std::vector<std::string>{"b.bmp", "c.bmp"}));
        fs::remove(at("b.bmp"));
        fs::remove(at("c.bmp"));
    }
}

TEST_F(FileOps, MovingALinkMovesTheLink) {
    Write(at("a.bmp"), "mine");
    fs::create_symlink("a.bmp", at("link.bmp"));
    ASSERT_TRUE(MoveFile(at("link.bmp"), at("moved.bmp")));
    EXPECT_TRUE(fs::is_symlink(at("moved.bmp")));
    EXPECT_EQ(Read(at("a.bmp")), "mine");
}

TEST_F(FileOps, TargetsThatCannotBeAFileFail) {
    Write(at("a.bmp"), "mine");
    fs::create_directory(at("sub"));
    Write(at("sub/x"), "x");
    for (Op op : {Op(&CopyFile), Op(&MoveFile), Op(&RenameFile)}) {
        for (const std::string& target :
             {at("sub"), at("none/a.bmp"), std::string(), at("a.bmp/x")})
            EXPECT_FALSE(op(at("a.bmp"), target)) << target;
        EXPECT_FALSE(op(at("missing.bmp"), at("b.bmp")));
        EXPECT_EQ(Read(at("a.bmp")), "mine");
        EXPECT_EQ(Names(dir), (std::vector<std::string>{"a.bmp", "sub"}));
        EXPECT_EQ(Names(at("sub")), (std::vector<std::string>{"x"}));
    }
    // A folder is not a picture file to copy or move.
    EXPECT_FALSE(CopyFile(at("sub"), at("c")));
    EXPECT_FALSE(MoveFile(at("sub"), at("c")));
}

TEST_F(FileOps, SafeWriteReplacesOrRefusesWhole) {
    Write(at("a.jpg"), "old");
    ASSERT_TRUE(WriteFileSafely(at("a.jpg"), "new bytes"));
    EXPECT_EQ(Read(at("a.jpg")), "new bytes");
    EXPECT_FALSE(WriteFileSafely(at("a.jpg"), "other", Replace::No));
    EXPECT_EQ(Read(at("a.jpg")), "new bytes");
    {
        SafeWriter w(at("b.jpg"), Replace::Yes);
        ASSERT_TRUE(w.write("half", 4));
        EXPECT_FALSE(fs::exists(at("b.jpg"))); // nothing shows before the commit
    }                                          // dropped uncommitted
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"a.jpg"}));
}

// A small filesystem of its own, in a mount namespace of this test process.
class FullDisk : public FileOps {
protected:
    void SetUp() override {
        FileOps::SetUp();
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            GTEST_SKIP() << "no private mount namespace here";
        small = at("small");
        fs::create_directory(small);
        if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here";
        mounted = true;
    }
    void TearDown() override {
        if (mounted)
            ::umount(small.c_str());
        FileOps::TearDown();
    }
    std::string small;
    bool mounted = false;
};

TEST_F(FullDisk, CopyAndMoveLeaveNoPartialTargetAndTheOriginalsWhole) {
    std::string big(256 * 1024, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    Write(at("big.bmp"), big);
    const std::string existing = small + "/big.bmp";
    Write(existing, "the picture already there");

    EXPECT_FALSE(CopyFile(at("big.bmp"), existing));
    EXPECT_EQ(Read(existing), "the picture already there");
    EXPECT_FALSE(CopyFile(at("big.bmp"), small + "/new.bmp"));
    EXPECT_FALSE(MoveFile(at("big.bmp"), small + "/moved.bmp"));
    EXPECT_FALSE(WriteFileSafely(existing, big));
    EXPECT_EQ(Read(existing), "the picture already there");
    EXPECT_EQ(Read(at("big.bmp")), big);
    EXPECT_EQ(Names(small), std::vector<std::string>{"big.bmp"});
}

TEST_F(FullDisk, MoveAcrossFilesystemsRemovesTheSourceAfterTheCopy) {
    Write(at("a.gif"), "GIF89a picture");
    ::chmod(at("a.gif").c_str(), 0604);
    ASSERT_TRUE(MoveFile(at("a.gif"), small + "/a.gif"));
    EXPECT_FALSE(fs::exists(at("a.gif")));
    EXPECT_EQ(Read(small + "/a.gif"), "GIF89a picture");
    EXPECT_EQ(Mode(small + "/a.gif"), 0604u);
    // And back onto a name taken there: refused, both stay.
    Write(at("a.gif"), "other");
    EXPECT_FALSE(MoveFile(small + "/a.gif", at("a.gif")));
    EXPECT_EQ(Read(at("a.gif")), "other");
    EXPECT_EQ(Read(small + "/a.gif"), "GIF89a picture");
    // A link is not copied across: its file would be moved in its place.
    fs::create_symlink(at("a.gif"), at("link.gif"));
    EXPECT_FALSE(MoveFile(at("link.gif"), small + "/link.gif"));
    EXPECT_TRUE(fs::is_symlink(at("link.gif")));
    // A rename does not cross filesystems.
    EXPECT_FALSE(RenameFile(small + "/a.gif", at("b.gif")));
    EXPECT_EQ(Names(small), std::vector<std::string>{"a.gif"});
}

} // namespace
} // namespace fotello
