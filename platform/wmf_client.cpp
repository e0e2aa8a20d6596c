#include "platform/wmf_client.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>

#include "platform/log.h"
#include "platform/wmf_protocol.h"

extern char** environ;

namespace fotello {
namespace {

using Clock = std::chrono::steady_clock;

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

WmfRenderResult Failure(PictureError error, const QString& detail) {
    WmfRenderResult result;
    result.error = error;
    result.detail = detail;
    return result;
}

enum class ReadStatus { Ok, End, Timeout, Error };

// Reads exactly n bytes before the deadline.
ReadStatus ReadExact(int fd, char* dst, std::size_t n, Clock::time_point deadline) {
    while (n > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return ReadStatus::Timeout;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return ReadStatus::Error;
        if (ready == 0)
            return ReadStatus::Timeout;
        const ssize_t got = ::read(fd, dst, n);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got < 0)
            return ReadStatus::Error;
        if (got == 0)
            return ReadStatus::End;
        dst += got;
        n -= std::size_t(got);
    }
    return ReadStatus::Ok;
}

std::uint32_t Word(const char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4); // the helper runs on this machine: same byte order
    return v;
}

// A memory file holding the metafile: the helper's stdin, seekable, with no
// pipe to keep fed.
int MetafileInput(const QByteArray& metafile) {
    const int fd = ::memfd_create("fotello-wmf-input", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
    qsizetype done = 0;
    while (done < metafile.size()) {
        const ssize_t n = ::write(fd, metafile.constData() + done, size_t(metafile.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            return -1;
        }
        done += n;
    }
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

pid_t SpawnHelper(const QByteArray& helper, int input, int output, int errors) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, 0);
    posix_spawn_file_actions_adddup2(&actions, output, 1);
    posix_spawn_file_actions_adddup2(&actions, errors, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    char* argv[] = {const_cast<char*>(helper.constData()), nullptr};
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, helper.constData(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int WaitForExit(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return status;
}

// The first line the helper wrote on stderr, once it has exited: all it wrote
// is then in the pipe (it writes one short line at most).
QString FirstLine(int fd) {
    char text[wmf::kMaxStderrBytes];
    std::size_t used = 0;
    while (used < sizeof text) {
        const ssize_t n = ::read(fd, text + used, sizeof text - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        used += std::size_t(n);
    }
    const QByteArray bytes(text, qsizetype(used));
    return QString::fromUtf8(bytes.left(bytes.indexOf('\n'))).trimmed();
}

} // namespace

WmfRenderResult RenderWmfInHelper(const QByteArray& metafile, const QString& helperPath,
                                  int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    Fd input(MetafileInput(metafile));
    int pipeEnds[2], errorEnds[2];
    if (input.get() < 0 || ::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return Failure(PictureError::Unreadable, QStringLiteral("no memory for the metafile"));
    Fd readEnd(pipeEnds[0]), writeEnd(pipeEnds[1]);
    // A pipe, not a file: the helper may not write files at all.
    if (::pipe2(errorEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return Failure(PictureError::Unreadable, QStringLiteral("no pipe for the helper"));
    Fd errorRead(errorEnds[0]), errorWrite(errorEnds[1]);
    const pid_t pid =
        SpawnHelper(QFile::encodeName(helperPath), input.get(), writeEnd.get(), errorWrite.get());
    writeEnd.reset(); // so that the helper's exit ends our reads
    errorWrite.reset();
    input.reset();
    if (pid < 0)
        return Failure(PictureError::Invalid, QStringLiteral("cannot run ") + helperPath);

    WmfRenderResult result;
    char header[wmf::kHeaderBytes];
    ReadStatus status = ReadExact(readEnd.get(), header, sizeof header, deadline);
    if (status == ReadStatus::Ok) {
        const std::uint32_t width = Word(header + 4), height = Word(header + 8);
        if (Word(header) != wmf::kMagic || width == 0 || height == 0 ||
            width > std::uint32_t(wmf::kMaxSide) || height > std::uint32_t(wmf::kMaxSide) ||
            qint64(width) * height > kMaxPicturePixels) {
            result.detail = QStringLiteral("bad helper header");
            status = ReadStatus::Error;
        } else {
            const bool alpha = Word(header + 12) & wmf::kFlagHasAlpha;
            result.image = QImage(int(width), int(height), QImage::Format_ARGB32);
            if (result.image.isNull())
                status = ReadStatus::Error;
            else
                status = ReadExact(readEnd.get(), reinterpret_cast<char*>(result.image.bits()),
                                   std::size_t(result.image.sizeInBytes()), deadline);
            char extra;
            const ReadStatus tail = status == ReadStatus::Ok
                                        ? ReadExact(readEnd.get(), &extra, 1, deadline)
                                        : ReadStatus::End;
            if (tail == ReadStatus::Timeout) {
                status = ReadStatus::Timeout; // the raster came, but the helper stays
            } else if (tail != ReadStatus::End) {
                result.detail = QStringLiteral("helper wrote too much");
                status = ReadStatus::Error;
            }
            if (status == ReadStatus::Ok && !alpha)
                result.image.reinterpretAsFormat(QImage::Format_RGB32);
        }
    }
    // End: the helper closed its output early (it said no); its exit status tells why.
    // Stopped reading while the helper may still run (timeout, lies, too much):
    // kill it, or waiting for its exit has no limit. Its exit status then means nothing.
    const bool abandoned = status == ReadStatus::Timeout || status == ReadStatus::Error;
    if (abandoned)
        ::kill(pid, SIGKILL);
    readEnd.reset();
    const int exit = WaitForExit(pid);
    qCDebug(lcWmf) << "helper" << pid << (abandoned ? "killed" : "ended") << "wait status" << exit;

    if (status == ReadStatus::Timeout)
        return Failure(PictureError::Invalid, QStringLiteral("metafile took too long to draw"));
    if (abandoned)
        return Failure(PictureError::Invalid, result.detail.isEmpty()
                                                  ? QStringLiteral("unreadable helper output")
                                                  : result.detail);
    if (exit >= 0 && WIFEXITED(exit) && WEXITSTATUS(exit) != wmf::kExitOk) {
        switch (WEXITSTATUS(exit)) {
        case wmf::kExitTruncated:
            return Failure(PictureError::Truncated, QStringLiteral("metafile ends early"));
        case wmf::kExitTooLarge:
            return Failure(PictureError::TooLarge, QStringLiteral("metafile too large"));
        case wmf::kExitNoFonts: {
            const QString line = FirstLine(errorRead.get());
            // A fault of the installation, not of the file: said once, whatever the log rules.
            static std::atomic_bool said{false};
            if (!said.exchange(true))
                qCCritical(lcWmf).noquote() << line;
            return Failure(PictureError::NoFonts,
                           line.isEmpty() ? QStringLiteral("libwmf found no fonts") : line);
        }
        default:
            return Failure(PictureError::Invalid, QStringLiteral("libwmf refused the metafile"));
        }
    }
    // exit < 0: the application ignores SIGCHLD and the child was reaped for us.
    if (exit >= 0 && !WIFEXITED(exit))
        return Failure(PictureError::Invalid, QStringLiteral("metafile helper crashed"));
    if (status != ReadStatus::Ok)
        return Failure(PictureError::Invalid, result.detail.isEmpty()
                                                  ? QStringLiteral("short helper output")
                                                  : result.detail);
    return result;
}

} // namespace fotello
