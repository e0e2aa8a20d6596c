#pragma once
// One running Fotello per user and installation. The lock is an advisory
// lock on a file, so it goes away with the process however it ends.

#include <string>

namespace fotello {

class SingleInstanceLock {
public:
    // Takes the lock at lockPath. When the lock file cannot be made, or the
    // path is a link or someone else's file, no lock is taken and the program
    // still runs.
    explicit SingleInstanceLock(const std::string& lockPath);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True when another process holds the lock.
    bool otherInstanceRunning() const { return otherRunning_; }

private:
    int fd_ = -1;
    bool otherRunning_ = false;
};

// The lock file of the installation in programFolder for the current user:
// in XDG_RUNTIME_DIR when it is a folder of the user's that no one else can
// write to, otherwise in the temporary folder with the user id in its name.
std::string InstanceLockPath(const std::string& programFolder);

} // namespace fotello
