// libFuzzer target for a file read as the browser reads it, with its caps:
// the thumbnail (RenderThumb: reduced decode, area average into the box) and
// the preview (ReadPictureLocal fitted to a pane). Metafiles stop at the
// helper, which is not there: wmf_fuzz.cpp draws them in process.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

#include <QByteArray>

#include "platform/picture_reader.h"
#include "shell/thumb_render.h"

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
    // What the callers rely on: a picture exactly when there is no error, in RGB32 or ARGB32
    // and within the pixel cap.
    const QImage& i = r.image;
    if (r.ok() != !i.isNull() ||
        (r.ok() && ((i.format() != QImage::Format_RGB32 && i.format() != QImage::Format_ARGB32) ||
                    qint64(i.width()) * i.height() > fotello::kMaxPicturePixels)))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = InputFile();
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != ssize_t(size))
        std::abort();
    const QByteArray path = "/proc/self/fd/" + QByteArray::number(fd);

    fotello::PictureReadOptions preview;
    preview.coverFor = [](QSize natural) { return natural.scaled(640, 480, Qt::KeepAspectRatio); };
    Check(fotello::ReadPictureLocal(path, preview));

    constexpr int kSide = 98;
    fotello::ThumbRequest request;
    request.side = kSide;
    request.back = qRgb(255, 255, 255);
    const fotello::RenderedThumb thumb = fotello::RenderThumb(path, request);
    // Its part of the box, never more than the box.
    if (thumb.ok() && (thumb.picture.width() > kSide || thumb.picture.height() > kSide))
        std::abort();
    return 0;
}
