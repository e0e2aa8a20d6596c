#include "platform/single_instance.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fotello {

SingleInstanceLock::SingleInstanceLock(const std::string& lockPath) {
    // Never through a link: in a shared folder it could point anywhere.
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0)
        return;
    // A file someone else made first (to hold its lock and keep us from starting) is not ours.
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        otherRunning_ = (errno == EWOULDBLOCK);
        ::close(fd_);
        fd_ = -1;
    }
}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0)
        ::close(fd_);
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

} // namespace fotello
