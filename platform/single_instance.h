#pragma once
// One running Fotello per user and installation. The lock is an advisory
// lock on a file, so it goes away with the process however it ends. The
// holder also serves a socket beside it, where a later start hands over the
// folder or file it was asked to open.

#include <string>

namespace fotello {

class SingleInstanceLock {
public:
    // Takes the lock at lockPath and, when it is ours, listens on the socket
    // beside it (InstanceSocketPath). Deciding and listening happen under a
    // third, short-lived lock, so a later start that finds the lock taken
    // always finds the socket listening. When the lock file cannot be made,
    // or the path is a link or someone else's file, no lock is taken and the
    // program still runs.
    explicit SingleInstanceLock(const std::string& lockPath);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True when another process holds the lock.
    bool otherInstanceRunning() const { return otherRunning_; }
    // The listening socket's descriptor, handed over to its new owner; -1
    // when there is none (another instance runs, or the socket could not be made).
    int takeServerSocket();

private:
    int fd_ = -1;
    int server_ = -1;
    bool otherRunning_ = false;
};

// The lock file of the installation in programFolder for the current user:
// in XDG_RUNTIME_DIR when it is a folder of the user's that no one else can
// write to, otherwise in the temporary folder with the user id in its name.
std::string InstanceLockPath(const std::string& programFolder);

// The socket the lock's holder listens on.
std::string InstanceSocketPath(const std::string& lockPath);

// Hands a path (its bytes as they are) to the instance listening on
// socketPath. False when there is none, or the socket is not the user's own.
bool SendToRunningInstance(const std::string& socketPath, const std::string& path);

} // namespace fotello
