// Real second processes while the first runs. (How fast one ends is measured
// by bench/second_instance.cpp.)

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QTest>

#include "../shell/settings_db_maker.h"
#include "platform/single_instance.h"

extern char** environ;
namespace fs = std::filesystem;

namespace {

// Generous: only a second instance that goes on to start (or hangs) takes this long.
constexpr int kLimitMs = 20000;

struct Child {
    pid_t pid = -1;
    std::string log;
    // Standard error goes to a file, read while the process runs: a pipe nobody
    // drains would stall the first instance once Qt has said enough.
    std::string text() const {
        std::ifstream in(log, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    bool waitFor(const std::string& needle) const {
        return QTest::qWaitFor([&] { return text().find(needle) != std::string::npos; }, kLimitMs);
    }
    // Killed if it outlives the limit.
    bool waitForExit(int& status) const {
        if (QTest::qWaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, kLimitMs))
            return true;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return false;
    }
};

Child spawn(const std::string& exe, const std::string& cwd, const std::string& log,
            const std::string& arg = {}) {
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QT_", 3) != 0)
            envp.push_back(*e);
    // Qt reports every plug-in it loads (a process that makes no window says nothing);
    // the first announces its socket once it serves, and each path it opens.
    for (const char* v : {"QT_QPA_PLATFORM=offscreen", "QT_DEBUG_PLUGINS=1",
                          "QT_LOGGING_RULES=fotello.instance.debug=true"})
        envp.push_back(const_cast<char*>(v));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&fa, cwd.c_str());
    std::string arg0 = exe, arg1 = arg;
    char* argv[] = {arg0.data(), arg.empty() ? nullptr : arg1.data(), nullptr};
    Child c{-1, log};
    if (posix_spawn(&c.pid, exe.c_str(), &fa, nullptr, argv, envp.data()) != 0)
        c.pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    return c;
}

// A private copy of the program, whose lock and socket belong to the test alone.
class SecondInstance : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fotello::test::MakeTempDir();
        exe = dir + "/fotello";
        fs::copy_file(FOTELLO_EXE, exe);
        fs::permissions(exe, fs::perms::owner_all);
        lock = fotello::InstanceLockPath(dir);
        first = spawn(exe, dir, dir + "/first.log");
        ASSERT_GT(first.pid, 0);
        ASSERT_TRUE(first.waitFor("fotello.instance: serving"))
            << "the first instance never served:\n"
            << first.text();
    }
    void TearDown() override {
        if (first.pid > 0) {
            ::kill(first.pid, SIGTERM);
            ::waitpid(first.pid, nullptr, 0);
        }
        fs::remove_all(dir);
        for (const auto& f : {lock, lock + ".setup", fotello::InstanceSocketPath(lock)})
            ::unlink(f.c_str());
    }
    // Starts a second one; true when it ended well having written nothing
    // (Qt would have reported the plug-ins of a window).
    ::testing::AssertionResult secondEndsSilently(const std::string& cwd, const std::string& arg) {
        const Child second = spawn(exe, cwd, dir + "/second.log", arg);
        int status = 0;
        if (second.pid <= 0 || !second.waitForExit(status))
            return ::testing::AssertionFailure() << "the second instance did not end";
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return ::testing::AssertionFailure() << "the second instance failed";
        if (!second.text().empty())
            return ::testing::AssertionFailure() << "the second instance made a window:\n"
                                                 << second.text();
        return ::testing::AssertionSuccess();
    }
    std::string dir, exe, lock;
    Child first;
};

// Without an argument a second one only ends; with one it hands its folder or
// file to the first, which goes on.
TEST_F(SecondInstance, EndsAtOnceWithoutAWindowHandingOnItsFolderOrFile) {
    const std::string fotos = dir + "/Fotos", ferias = fotos + "/f\xe9rias";
    fs::create_directories(ferias);
    std::ofstream(ferias + "/a b.jpg") << "x";
    const auto encoded = [](const std::string& path) {
        return QByteArray::fromStdString(path).toPercentEncoding("/").toStdString();
    };
    EXPECT_TRUE(secondEndsSilently(dir, ""));
    // The first does load its platform (the check above can fail), and opened nothing.
    EXPECT_TRUE(first.waitFor("offscreen"));
    EXPECT_EQ(first.text().find("opened"), std::string::npos);
    const struct {
        std::string cwd, arg, opened;
    } cases[] = {
        // Relative to the second's folder, in bytes that are not UTF-8.
        {fotos, "f\xe9rias", ferias},
        {ferias, "file://" + encoded(ferias + "/a b.jpg"), ferias + "/a b.jpg"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(secondEndsSilently(c.cwd, c.arg)) << c.arg;
        const std::string want = "opened \"" + encoded(c.opened) + "\"";
        EXPECT_TRUE(first.waitFor(want)) << want << " in:\n" << first.text();
    }
    EXPECT_EQ(::waitpid(first.pid, nullptr, WNOHANG), 0) << "the first instance ended";
}

} // namespace
