// A real second process while the first runs. (How fast it ends is measured
// by bench/second_instance.cpp.)

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/single_instance.h"

extern char** environ;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct Child {
    pid_t pid = -1;
    std::string err; // its standard error file
};

Child spawn(const std::string& exe, const std::string& cwd, const std::string& errFile) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (v.rfind("QT_QPA_PLATFORM=", 0) != 0 && v.rfind("QT_DEBUG_PLUGINS=", 0) != 0)
            env.push_back(v);
    }
    env.push_back("QT_QPA_PLATFORM=offscreen");
    // Qt reports every plug-in it loads: a process that makes no window says nothing.
    env.push_back("QT_DEBUG_PLUGINS=1");
    std::vector<char*> envp;
    for (auto& v : env)
        envp.push_back(v.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&fa, cwd.c_str());
    std::string arg0 = exe;
    char* argv[] = {arg0.data(), nullptr};
    Child c;
    c.err = errFile;
    if (posix_spawn(&c.pid, exe.c_str(), &fa, nullptr, argv, envp.data()) != 0)
        c.pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    return c;
}

// Whether some process holds an flock on the file, read from /proc/locks
// (probing with flock ourselves could make the first instance think it is the second).
bool lockHeld(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    std::ifstream locks("/proc/locks");
    std::string line;
    std::string inode = ":";
    inode += std::to_string(st.st_ino);
    inode += ' ';
    while (std::getline(locks, line))
        if (line.find("FLOCK") != std::string::npos && line.find(inode) != std::string::npos)
            return true;
    return false;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Polls a condition that no descriptor can signal, until it holds or time is up.
template <typename Condition> bool waitFor(Condition holds, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!holds()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// Waits for the child to end (its pidfd becomes readable); killed if it outlives the limit.
bool waitForExit(pid_t pid, int& status, std::chrono::milliseconds limit) {
    const int pidfd = int(::syscall(SYS_pidfd_open, pid, 0));
    bool ended = false;
    if (pidfd >= 0) {
        pollfd p{pidfd, POLLIN, 0};
        ended = ::poll(&p, 1, int(limit.count())) == 1;
        ::close(pidfd);
    }
    if (!ended)
        ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return ended;
}

} // namespace

TEST(SecondInstance, EndsAtOnceWithoutAWindowWhileTheFirstRuns) {
    // A private copy of the program: its lock belongs to this test alone.
    char tmpl[] = "/tmp/fotello-instance-XXXXXX";
    ASSERT_TRUE(::mkdtemp(tmpl));
    const std::string dir = tmpl;
    const std::string exe = dir + "/fotello";
    fs::copy_file(FOTELLO_EXE, exe);
    fs::permissions(exe, fs::perms::owner_all);
    const std::string lock = fotello::InstanceLockPath(dir);

    Child first = spawn(exe, dir, dir + "/first.err");
    ASSERT_GT(first.pid, 0);
    ASSERT_TRUE(waitFor([&] { return lockHeld(lock); }, 20s))
        << "the first instance never took its lock";

    Child second = spawn(exe, dir, dir + "/second.err");
    ASSERT_GT(second.pid, 0);
    int status = 0;
    // Generous: only a second instance that goes on to start (or hangs) takes this long.
    ASSERT_TRUE(waitForExit(second.pid, status, 20s)) << "the second instance did not end";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(slurp(second.err), "") << "the second instance loaded Qt plug-ins (made a window?)";

    // The first is untouched, and it does load its platform (the check above can fail).
    EXPECT_TRUE(
        waitFor([&] { return slurp(first.err).find("offscreen") != std::string::npos; }, 20s));
    EXPECT_EQ(::waitpid(first.pid, &status, WNOHANG), 0) << "the first instance ended";
    ::kill(first.pid, SIGTERM);
    ::waitpid(first.pid, &status, 0);

    // With the first gone the lock is free again.
    EXPECT_FALSE(lockHeld(lock));
    fs::remove_all(dir);
}
