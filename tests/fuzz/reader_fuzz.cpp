// libFuzzer target for the reader as the browser calls it: a file on disk,
// through ReadPictureLocal with the pixel cap and file limits, read whole (the
// preview) and, for JPEGs, reduced to cover a thumbnail box. Metafiles stop at
// the helper, which is not there: wmf_fuzz.cpp draws them in process.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

#include <QByteArray>

#include "platform/picture_reader.h"

namespace {

// One memory file for every input: the reader stats and opens it by path.
int InputFile() {
    static const int fd = [] {
        const int f = ::memfd_create("fotello-fuzz-input", MFD_CLOEXEC);
        if (f < 0)
            std::abort();
        fotello::SetHelperFolder(QStringLiteral("/nonexistent-fotello-helpers"));
        return f;
    }();
    return fd;
}

void Check(const fotello::PictureResult& r) {
    // What the callers rely on: a picture exactly when there is no error.
    if (r.ok() != !r.image.isNull())
        std::abort();
    if (r.ok() &&
        (r.image.format() != QImage::Format_RGB32 && r.image.format() != QImage::Format_ARGB32))
        std::abort();
    if (r.ok() && qint64(r.image.width()) * r.image.height() > fotello::kMaxPicturePixels)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = InputFile();
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != ssize_t(size))
        std::abort();
    const QByteArray path = "/proc/self/fd/" + QByteArray::number(fd);
    const fotello::PictureResult whole = fotello::ReadPictureLocal(path);
    Check(whole);
    if (whole.kind == fotello::PictureKind::Jpeg) {
        fotello::PictureReadOptions thumbnail;
        thumbnail.coverBox = QSize(16, 12);
        Check(fotello::ReadPictureLocal(path, thumbnail));
    }
    return 0;
}
