// The single-instance lock against what others can leave in a shared folder.

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../shell/settings_db_maker.h"
#include "platform/single_instance.h"

namespace fs = std::filesystem;
using fotello::InstanceLockPath;
using fotello::SingleInstanceLock;

namespace {

constexpr uid_t kSomeoneElse = 65534; // nobody

class InstanceLock : public ::testing::Test {
protected:
    void SetUp() override { dir = fotello::test::MakeTempDir(); }
    void TearDown() override {
        for (int fd : held)
            ::close(fd);
        fs::remove_all(dir);
    }
    // An flock held on path through a descriptor of our own, as another process would.
    void holdLock(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0) << path;
        ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
        held.push_back(fd);
    }
    std::string dir;
    std::vector<int> held;
};

TEST_F(InstanceLock, SecondHolderSeesTheFirstUntilItGoes) {
    const std::string lock = dir + "/a.lock";
    {
        SingleInstanceLock first(lock);
        EXPECT_FALSE(first.otherInstanceRunning());
        EXPECT_TRUE(SingleInstanceLock(lock).otherInstanceRunning());
    }
    EXPECT_FALSE(SingleInstanceLock(lock).otherInstanceRunning());
}

TEST_F(InstanceLock, OnlyTheHolderServesOnAPrivateSocket) {
    const std::string lock = dir + "/a.lock", socket = fotello::InstanceSocketPath(lock);
    // A stale socket of a holder that died is replaced.
    { SingleInstanceLock stale(lock); }
    ASSERT_TRUE(fs::is_socket(socket));
    SingleInstanceLock first(lock);
    const int server = first.takeServerSocket();
    ASSERT_GE(server, 0);
    EXPECT_EQ(first.takeServerSocket(), -1) << "handed over once";
    EXPECT_EQ(fs::status(socket).permissions() & (fs::perms::group_all | fs::perms::others_all),
              fs::perms::none);
    SingleInstanceLock second(lock);
    EXPECT_EQ(second.takeServerSocket(), -1);

    // What the holder receives is checked by InstanceServerTest.EachConnectionCarriesOnePath.
    ::close(server);
    // Nothing listening, or not a socket: nothing is sent.
    EXPECT_FALSE(fotello::SendToRunningInstance(socket, "/x"));
    EXPECT_FALSE(fotello::SendToRunningInstance(lock, "/x"));

    // A file where the socket goes is not ours to remove: no socket then.
    const std::string other = dir + "/b.lock", file = fotello::InstanceSocketPath(other);
    { std::ofstream(file) << "x"; }
    SingleInstanceLock beside(other);
    EXPECT_FALSE(beside.otherInstanceRunning());
    EXPECT_EQ(beside.takeServerSocket(), -1);
    EXPECT_TRUE(fs::is_regular_file(file));
}

TEST_F(InstanceLock, ALinkAtTheLockPathIsNeverFollowed) {
    // A link to a file someone holds a lock on must not stop the program...
    const std::string target = dir + "/target";
    { SingleInstanceLock make(target); }
    holdLock(target);
    ASSERT_EQ(::symlink(target.c_str(), (dir + "/link.lock").c_str()), 0);
    EXPECT_FALSE(SingleInstanceLock(dir + "/link.lock").otherInstanceRunning());

    // ...and a dangling one must not make a file where it points.
    ASSERT_EQ(::symlink((dir + "/made").c_str(), (dir + "/dangling.lock").c_str()), 0);
    EXPECT_FALSE(SingleInstanceLock(dir + "/dangling.lock").otherInstanceRunning());
    EXPECT_FALSE(fs::exists(dir + "/made"));
}

TEST_F(InstanceLock, SomeoneElsesLockFileIsNotOurs) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "making a file of another user needs root";
    const std::string lock = dir + "/theirs.lock";
    { SingleInstanceLock make(lock); }
    ASSERT_EQ(::chmod(lock.c_str(), 0666), 0);
    ASSERT_EQ(::chown(lock.c_str(), kSomeoneElse, kSomeoneElse), 0);
    holdLock(lock);
    EXPECT_FALSE(SingleInstanceLock(lock).otherInstanceRunning())
        << "a file made by another user kept the program from starting";
}

// Sets an environment variable until the end of the scope.
struct ScopedEnv {
    ScopedEnv(const char* name, const std::string& value)
        : name(name), old(std::getenv(name) ? std::getenv(name) : "") {
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { old.empty() ? ::unsetenv(name) : ::setenv(name, old.c_str(), 1); }
    const char* name;
    const std::string old;
};

TEST_F(InstanceLock, RuntimeFolderOnlyWhenItIsTheUsersAlone) {
    const std::string runtime = dir + "/runtime", tmp = dir + "/tmp";
    ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(tmp.c_str(), 01777), 0);
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime), tmpdir("TMPDIR", tmp);
    const auto folderOf = [] { return fs::path(InstanceLockPath("/opt/fotello")).parent_path(); };

    EXPECT_EQ(folderOf(), runtime);
    for (const mode_t mode : {0770, 0702}) {
        ASSERT_EQ(::chmod(runtime.c_str(), mode), 0);
        EXPECT_EQ(folderOf(), tmp) << "writable by others: " << std::oct << mode;
    }
    ASSERT_EQ(::chmod(runtime.c_str(), 0700), 0);
    // Not a folder, or someone else's: "/" is root's, so as root the folder is given away.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(runtime.c_str(), kSomeoneElse, kSomeoneElse), 0);
    }
    for (const std::string& other : {dir + "/not-a-folder", ::geteuid() == 0 ? runtime : "/"}) {
        ScopedEnv env("XDG_RUNTIME_DIR", other);
        EXPECT_EQ(folderOf(), tmp) << other;
    }
    // The name tells the user and the installation apart.
    const std::string name = fs::path(InstanceLockPath("/opt/fotello")).filename();
    EXPECT_NE(name, fs::path(InstanceLockPath("/usr/lib/fotello")).filename());
    EXPECT_NE(name.find(std::string("-").append(std::to_string(::getuid())) + "-"),
              std::string::npos);
}

} // namespace
