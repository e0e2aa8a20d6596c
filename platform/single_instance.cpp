#include "platform/single_instance.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fotello {

namespace {

// A regular file of ours at path, never reached through a link: in a shared
// folder someone else could have made it (to hold its lock and keep us from
// starting) or pointed it anywhere. -1 otherwise.
int openOwnFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool socketAddress(const std::string& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Whether path is absent or a socket of ours (a stale one, since we hold the lock).
bool mayReplace(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT;
    return S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid();
}

int listenAt(const std::string& path) {
    sockaddr_un addr;
    if (!socketAddress(path, addr) || !mayReplace(path))
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    ::unlink(path.c_str());
    // Only we may connect, from the moment the socket exists (still one
    // thread: nothing else makes files meanwhile).
    const mode_t old = ::umask(0177);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::umask(old);
    if (!bound || ::listen(fd, 16) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

SingleInstanceLock::SingleInstanceLock(const std::string& lockPath) {
    // Held only while deciding who serves and making the socket.
    const int setup = openOwnFile(lockPath + ".setup");
    if (setup >= 0)
        ::flock(setup, LOCK_EX);
    fd_ = openOwnFile(lockPath);
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        otherRunning_ = (errno == EWOULDBLOCK);
        ::close(fd_);
        fd_ = -1;
    }
    if (fd_ >= 0)
        server_ = listenAt(InstanceSocketPath(lockPath));
    if (setup >= 0)
        ::close(setup);
}

SingleInstanceLock::~SingleInstanceLock() {
    if (server_ >= 0)
        ::close(server_);
    if (fd_ >= 0)
        ::close(fd_);
}

int SingleInstanceLock::takeServerSocket() {
    const int fd = server_;
    server_ = -1;
    return fd;
}

std::string InstanceLockPath(const std::string& programFolder) {
    // Two installations (a build tree and an installed copy) may run side by side.
    const std::size_t h = std::hash<std::string>{}(programFolder);
    char name[64];
    std::snprintf(name, sizeof name, "fotello-%u-%016zx.lock", static_cast<unsigned>(::getuid()),
                  h);

    // Only a runtime folder that is the user's alone: anyone else who can write
    // there could swap the lock file.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (runtime && *runtime && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode) &&
        st.st_uid == ::getuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0)
        return std::string(runtime) + "/" + name;
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = (tmp && *tmp) ? tmp : "/tmp";
    return dir + "/" + name;
}

std::string InstanceSocketPath(const std::string& lockPath) {
    const std::string ext = ".lock";
    const bool hasExt = lockPath.size() > ext.size() &&
                        lockPath.compare(lockPath.size() - ext.size(), ext.size(), ext) == 0;
    return (hasExt ? lockPath.substr(0, lockPath.size() - ext.size()) : lockPath) + ".sock";
}

bool SendToRunningInstance(const std::string& socketPath, const std::string& path) {
    // Never hand a path to a socket someone else made in a shared folder.
    struct stat st {};
    sockaddr_un addr;
    if (::lstat(socketPath.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode) ||
        st.st_uid != ::geteuid() || !socketAddress(socketPath, addr))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    // The end of the stream ends the path: the server reads until then.
    for (std::size_t sent = 0; ok && sent < path.size();) {
        const ssize_t n = ::send(fd, path.data() + sent, path.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            sent += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return ok;
}

} // namespace fotello
