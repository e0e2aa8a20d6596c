#include "files/safe_write.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace fotello {

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name nobody else uses, opened exclusively; short so that a long target
// name still leaves room for it.
int OpenTemporary(const std::string& folder, std::string& name) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 64; ++attempt) {
        char tail[32];
        std::snprintf(tail, sizeof tail, "/.fotello-%012llx",
                      static_cast<unsigned long long>(random() & 0xffffffffffffULL));
        name = (folder == "/" ? std::string() : folder) + tail;
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // the rename is already done: a failure here loses nothing
        ::close(fd);
    }
}

} // namespace

int RenameNoReplacing(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // A filesystem without the flag: a hard link also refuses an existing name.
    if (::link(from, to) == 0) {
        ::unlink(from);
        return 0;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)
        return -1;
    // Nor hard links: claim the name with an empty file of our own, then
    // rename over that one only.
    const int claim = ::open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (claim < 0)
        return -1;
    ::close(claim);
    if (::rename(from, to) == 0)
        return 0;
    const int err = errno;
    ::unlink(to);
    errno = err;
    return -1;
}

FileResult FileResult::Fail(int err, std::string_view step) {
    FileResult r;
    r.ok = false;
    r.error = err;
    r.message = std::string(step) + ": " + std::strerror(err);
    return r;
}

SafeWriter::SafeWriter(std::string target, Replace replace, int mode)
    : target_(std::move(target)), replace_(replace) {
    if (target_.empty() || target_.back() == '/') {
        state_ = FileResult::Fail(EISDIR, "target " + target_);
        return;
    }
    fd_ = OpenTemporary(FolderOf(target_), temp_);
    if (fd_ < 0) {
        state_ = FileResult::Fail(errno, "temporary file beside " + target_);
        temp_.clear();
        return;
    }
    struct stat st {};
    if (mode < 0 && ::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        mode = static_cast<int>(st.st_mode & 07777);
    if (mode >= 0 && ::fchmod(fd_, static_cast<mode_t>(mode)) != 0) {
        state_ = FileResult::Fail(errno, "permissions of " + temp_);
        discard();
    }
}

SafeWriter::~SafeWriter() {
    discard();
}

void SafeWriter::discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
}

FileResult SafeWriter::write(const void* data, std::size_t size) {
    if (!state_)
        return state_;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) { // no progress is a full disk even without an error
            state_ = FileResult::Fail(n < 0 ? errno : ENOSPC, "writing " + temp_);
            discard();
            return state_;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return state_;
}

void SafeWriter::keepTime(std::int64_t seconds, std::int64_t nanoseconds) {
    haveTime_ = true;
    sec_ = seconds;
    nsec_ = nanoseconds;
}

FileResult SafeWriter::commit() {
    if (!state_)
        return state_;
    auto fail = [this](const std::string& step) {
        state_ = FileResult::Fail(errno, step);
        discard();
        return state_;
    };
    if (haveTime_) {
        const timespec times[2] = {{0, UTIME_OMIT},
                                   {static_cast<time_t>(sec_), static_cast<long>(nsec_)}};
        ::futimens(fd_, times); // a lost time stamp is no reason to fail
    }
    if (::fsync(fd_) != 0)
        return fail("syncing " + temp_);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        return fail("closing " + temp_);
    const int renamed = replace_ == Replace::Yes
                            ? ::rename(temp_.c_str(), target_.c_str())
                            : RenameNoReplacing(temp_.c_str(), target_.c_str());
    if (renamed != 0)
        return fail("renaming onto " + target_);
    temp_.clear();
    SyncFolder(FolderOf(target_));
    state_ = FileResult{};
    state_.ok = false; // committed once; a second commit is an error
    state_.error = EALREADY;
    state_.message = "already committed";
    return FileResult{};
}

FileResult WriteFileSafely(const std::string& target, std::string_view bytes, Replace replace) {
    SafeWriter out(target, replace);
    if (FileResult r = out.write(bytes.data(), bytes.size()); !r)
        return r;
    return out.commit();
}

} // namespace fotello
