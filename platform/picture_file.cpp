#include "platform/picture_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fotello {
namespace {

PictureFileData Failure(PictureError error, const QString& detail) {
    PictureFileData result;
    result.error = error;
    result.detail = detail;
    return result;
}

QString SystemError(const char* what, int code) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(code)));
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

PictureFileData ReadPictureFileData(const QByteArray& localPath, qint64 maxBytes,
                                    const std::function<bool(const QByteArray&)>& enough) {
    if (localPath.isEmpty() || localPath.contains('\0'))
        return Failure(PictureError::Unreadable, QStringLiteral("no such file"));
    // Follow symbolic links (a link to a photo is a photo) but look before
    // opening: opening a device or a FIFO can block or have side effects.
    struct stat info {};
    if (::stat(localPath.constData(), &info) != 0)
        return Failure(PictureError::Unreadable, SystemError("stat", errno));
    if (!S_ISREG(info.st_mode))
        return Failure(PictureError::NotAFile, QStringLiteral("not a regular file"));
    if (info.st_size > maxBytes)
        return Failure(PictureError::TooLarge, QStringLiteral("file too large"));

    // O_NONBLOCK: if a FIFO is swapped in between the look and the open, the
    // open returns at once and the second look refuses it.
    FileDescriptor fd(::open(localPath.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return Failure(PictureError::Unreadable, SystemError("open", errno));
    if (::fstat(fd.get(), &info) != 0)
        return Failure(PictureError::Unreadable, SystemError("fstat", errno));
    if (!S_ISREG(info.st_mode))
        return Failure(PictureError::NotAFile, QStringLiteral("not a regular file"));

    // The file may grow or shrink while we read: read to its end, not to the
    // length seen by fstat, and stop past the limit.
    PictureFileData result;
    qint64 capacity = std::min<qint64>({info.st_size, maxBytes, kFirstReadBytes - 1}) + 1;
    result.bytes.resize(capacity);
    qint64 total = 0;
    for (;;) {
        if (total == capacity) {
            if (enough) {
                const QByteArray soFar = QByteArray::fromRawData(result.bytes.constData(), total);
                if (enough(soFar)) {
                    result.bytes.truncate(total);
                    return result;
                }
            }
            if (capacity > maxBytes)
                return Failure(PictureError::TooLarge, QStringLiteral("file too large"));
            const qint64 whole = std::min<qint64>(info.st_size, kWholeReadBytes) + 1;
            capacity = qMin(std::max(capacity * 2, whole), maxBytes + 1);
            result.bytes.resize(capacity);
        }
        const ssize_t n = ::read(fd.get(), result.bytes.data() + total, size_t(capacity - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Failure(PictureError::Unreadable, SystemError("read", errno));
        if (n == 0)
            break;
        total += n;
    }
    result.bytes.truncate(total);
    return result;
}

} // namespace fotello
