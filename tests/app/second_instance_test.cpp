// Real second processes while the first runs. (How fast one ends is measured
// by bench/second_instance.cpp.)

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <QByteArray>

#include "platform/single_instance.h"

extern char** environ;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Everything a process writes on its standard error, read as it comes.
class Output {
public:
    explicit Output(int fd) : fd_(fd), reader_([this] { read(); }) {}
    ~Output() {
        reader_.join();
        ::close(fd_);
    }
    // Waits until the text holds needle; false when the process closed its
    // end first or the limit passed.
    bool waitFor(const std::string& needle, std::chrono::seconds limit) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, limit,
                          [&] { return ended_ || text_.find(needle) != std::string::npos; });
        return text_.find(needle) != std::string::npos;
    }
    bool waitForEnd(std::chrono::seconds limit) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return ended_; });
    }
    std::string text() {
        std::lock_guard lock(mutex_);
        return text_;
    }

private:
    void read() {
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            std::lock_guard lock(mutex_);
            if (n <= 0) {
                ended_ = true;
                changed_.notify_all();
                return;
            }
            text_.append(buf, std::size_t(n));
            changed_.notify_all();
        }
    }
    int fd_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string text_;
    bool ended_ = false;
    std::thread reader_; // last: starts once the rest is ready
};

struct Child {
    pid_t pid = -1;
    std::unique_ptr<Output> err;
};

Child spawn(const std::string& exe, const std::string& cwd, const std::string& arg = {}) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (v.rfind("QT_QPA_PLATFORM=", 0) != 0 && v.rfind("QT_DEBUG_PLUGINS=", 0) != 0 &&
            v.rfind("QT_LOGGING_RULES=", 0) != 0)
            env.push_back(v);
    }
    env.push_back("QT_QPA_PLATFORM=offscreen");
    // Qt reports every plug-in it loads: a process that makes no window says nothing.
    env.push_back("QT_DEBUG_PLUGINS=1");
    // The first announces its socket once it serves, and each path it opens.
    env.push_back("QT_LOGGING_RULES=fotello.instance.debug=true");
    std::vector<char*> envp;
    for (auto& v : env)
        envp.push_back(v.data());
    envp.push_back(nullptr);

    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        return {};
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, pipe[1], 2);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&fa, cwd.c_str());
    std::string arg0 = exe, arg1 = arg;
    char* argv[] = {arg0.data(), arg.empty() ? nullptr : arg1.data(), nullptr};
    Child c;
    if (posix_spawn(&c.pid, exe.c_str(), &fa, nullptr, argv, envp.data()) != 0)
        c.pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    ::close(pipe[1]);
    c.err = std::make_unique<Output>(pipe[0]);
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

// A private copy of the program, whose lock and socket belong to the test alone.
class SecondInstance : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/fotello-instance-XXXXXX";
        ASSERT_TRUE(::mkdtemp(tmpl));
        dir = tmpl;
        exe = dir + "/fotello";
        fs::copy_file(FOTELLO_EXE, exe);
        fs::permissions(exe, fs::perms::owner_all);
        lock = fotello::InstanceLockPath(dir);
        first = spawn(exe, dir);
        ASSERT_GT(first.pid, 0);
        ASSERT_TRUE(first.err->waitFor("fotello.instance: serving", 20s))
            << "the first instance never served:\n"
            << first.err->text();
        ASSERT_TRUE(lockHeld(lock));
    }
    void TearDown() override {
        int status = 0;
        if (first.pid > 0) {
            ::kill(first.pid, SIGTERM);
            ::waitpid(first.pid, &status, 0);
        }
        first.err.reset();
        fs::remove_all(dir);
        for (const auto& f : {lock, lock + ".setup", fotello::InstanceSocketPath(lock)})
            ::unlink(f.c_str());
    }
    // Starts a second one; true when it ended well having written nothing
    // (Qt would have reported the plug-ins of a window).
    ::testing::AssertionResult secondEndsSilently(const std::string& cwd, const std::string& arg) {
        Child second = spawn(exe, cwd, arg);
        int status = 0;
        // Generous: only a second instance that goes on to start (or hangs) takes this long.
        if (second.pid <= 0 || !waitForExit(second.pid, status, 20s))
            return ::testing::AssertionFailure() << "the second instance did not end";
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return ::testing::AssertionFailure() << "the second instance failed";
        if (!second.err->waitForEnd(20s) || !second.err->text().empty())
            return ::testing::AssertionFailure() << "the second instance made a window:\n"
                                                 << second.err->text();
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
    EXPECT_TRUE(first.err->waitFor("offscreen", 20s));
    EXPECT_EQ(first.err->text().find("opened"), std::string::npos);
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
        EXPECT_TRUE(first.err->waitFor(want, 20s)) << want << " in:\n" << first.err->text();
    }
    int status = 0;
    EXPECT_EQ(::waitpid(first.pid, &status, WNOHANG), 0) << "the first instance ended";
    ::kill(first.pid, SIGTERM);
    ::waitpid(first.pid, &status, 0);
    first.pid = -1;
    // With the first gone the lock is free again.
    EXPECT_FALSE(lockHeld(lock));
}

} // namespace
