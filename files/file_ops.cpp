#include "files/file_ops.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace fotello {

namespace {

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
};

FileResult CopyInto(const std::string& source, const std::string& target, Replace replace) {
    Fd in;
    in.fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in.fd < 0)
        return FileResult::Fail(errno, "opening " + source);
    struct stat st {};
    if (::fstat(in.fd, &st) != 0)
        return FileResult::Fail(errno, "reading " + source);
    if (!S_ISREG(st.st_mode))
        return FileResult::Fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, "copying " + source);
    SafeWriter out(target, replace, static_cast<int>(st.st_mode & 07777));
    constexpr std::size_t kChunk = 1 << 20;
    const auto buffer = std::make_unique<char[]>(kChunk);
    for (;;) {
        const ssize_t n = ::read(in.fd, buffer.get(), kChunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return FileResult::Fail(errno, "reading " + source);
        if (n == 0)
            break;
        if (FileResult r = out.write(buffer.get(), static_cast<std::size_t>(n)); !r)
            return r;
    }
    out.keepTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return out.commit();
}

// lstat's verdict: 0 for a regular file, else why it is not one.
int NotRegular(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno;
    return S_ISREG(st.st_mode) ? 0 : (S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
}

} // namespace

FileResult CopyFile(const std::string& source, const std::string& target) {
    return CopyInto(source, target, Replace::Yes);
}

FileResult MoveFile(const std::string& source, const std::string& target) {
    // A file or a link, not a folder: a picture is what the user moves.
    if (const int err = NotRegular(source); err != 0 && err != EINVAL)
        return FileResult::Fail(err, "moving " + source);
    if (target.empty() || target.back() == '/')
        return FileResult::Fail(EISDIR, "moving onto " + target);
    if (RenameNoReplacing(source.c_str(), target.c_str()) == 0)
        return {};
    if (errno != EXDEV)
        return FileResult::Fail(errno, "moving " + source);
    // Across filesystems only a regular file is copied and then removed.
    if (const int err = NotRegular(source); err != 0)
        return FileResult::Fail(err == EINVAL ? EXDEV : err, "moving " + source);
    if (FileResult r = CopyInto(source, target, Replace::No); !r)
        return r;
    if (::unlink(source.c_str()) != 0) {
        // The source stays, so the copy just made goes: the state is as before.
        const FileResult r = FileResult::Fail(errno, "removing " + source);
        ::unlink(target.c_str());
        return r;
    }
    return {};
}

FileResult RenameFile(const std::string& source, const std::string& target) {
    if (source.empty() || target.empty() || target.back() == '/')
        return FileResult::Fail(EINVAL, "renaming " + source);
    if (RenameNoReplacing(source.c_str(), target.c_str()) != 0)
        return FileResult::Fail(errno, "renaming " + source);
    return {};
}

} // namespace fotello
