#include "platform/picture_reader.h"

#include <cstdlib>
#include <mutex>
#include <span>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "platform/log.h"
#include "platform/picture_file.h"
#include "platform/picture_probe.h"
#include "platform/wmf_client.h"
#include "platform/wmf_protocol.h"

namespace fotello {
namespace {

// Qt reads QT_IMAGEIO_MAXALLOC once and lets it override any limit we set:
// clear it before anything can read it (static initialisation runs before main).
const bool kAllocationVariableCleared = [] {
    ::unsetenv("QT_IMAGEIO_MAXALLOC");
    return true;
}();

// A file can hold at most a capped picture at 32 bits per pixel plus headers.
constexpr qint64 kMaxFileBytes = kMaxPicturePixels * 4 + (qint64(64) << 20);
// Qt's own limit (MB), above the cap so that our check is the one that counts;
// some decoders hold 64 bits per pixel while they work.
constexpr int kQtAllocationLimitMb = int((kMaxPicturePixels * 8) >> 20);

std::mutex helperFolderMutex;
QString helperFolderValue;

// Raised on every call, not once: whoever lowers Qt's limit later (it is one
// process-wide number) would otherwise make big photos fail.
void PrepareImageIo() {
    (void)kAllocationVariableCleared;
    if (QImageReader::allocationLimit() < kQtAllocationLimitMb) {
        static std::mutex mutex;
        std::lock_guard lock(mutex);
        QImageReader::setAllocationLimit(kQtAllocationLimitMb);
    }
}

PictureResult Failure(PictureError error, const QString& detail) {
    PictureResult result;
    result.error = error;
    result.detail = detail;
    return result;
}

QByteArray QtFormat(PictureKind kind) {
    switch (kind) {
    case PictureKind::Bmp:
        return "bmp";
    case PictureKind::Jpeg:
        return "jpeg";
    case PictureKind::Gif:
        return "gif";
    case PictureKind::Ico:
    case PictureKind::Cur:
        return "ico"; // Qt's icon reader takes cursors (type 2) as well
    case PictureKind::Png:
        return "png";
    default:
        return {};
    }
}

QImage ToOutputFormat(QImage image) {
    const auto format = image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    if (image.format() != format)
        image.convertTo(format);
    return image;
}

// The stored (not yet oriented) size to ask the JPEG decoder for: the smallest
// 1/2^k reduction that still covers the box. Qt hands an exact 1/2, 1/4 or 1/8
// to libjpeg's DCT scaling; rounding down keeps its factor from rounding up.
QSize ReducedJpegSize(QSize stored, QSize box) {
    for (int k : {8, 4, 2}) {
        const QSize reduced(stored.width() / k, stored.height() / k);
        if (reduced.width() >= box.width() && reduced.height() >= box.height())
            return reduced;
    }
    return {};
}

PictureResult DecodeRaster(const QByteArray& bytes, const PictureProbe& probe,
                           const PictureReadOptions& options) {
    QByteArray data = bytes; // shared, not copied: QBuffer wants a non-const array
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QtFormat(probe.kind));
    reader.setAutoTransform(options.applyOrientation);
    if ((probe.kind == PictureKind::Ico || probe.kind == PictureKind::Cur) && probe.bestIcon > 0)
        reader.jumpToImage(probe.bestIcon);

    const QSize stored = reader.size();
    if (stored.isValid() && qint64(stored.width()) * stored.height() > kMaxPicturePixels)
        return Failure(PictureError::TooLarge, QStringLiteral("picture too large"));
    const bool turned = options.applyOrientation &&
                        (reader.transformation() & QImageIOHandler::TransformationRotate90);
    QSize box = options.coverBox;
    if (!box.isValid() && options.coverFor && stored.isValid())
        box = options.coverFor(turned ? stored.transposed() : stored);
    QSize scaled;
    if (probe.kind == PictureKind::Jpeg && box.isValid() && stored.isValid())
        scaled = ReducedJpegSize(stored, turned ? box.transposed() : box);
    if (scaled.isValid())
        reader.setScaledSize(scaled);
    // Accurate DCT and smooth upsampling for what is shown at its size; a reduced
    // picture is scaled again afterwards, so it takes the fast variants.
    reader.setQuality(options.coverBox.isValid() || scaled.isValid() ? 49 : 100);

    QImage image = reader.read();
    if (image.isNull())
        return Failure(PictureError::Invalid, reader.errorString());
    PictureResult result;
    result.naturalSize = scaled.isValid() ? (turned ? stored.transposed() : stored) : image.size();
    result.image = ToOutputFormat(std::move(image));
    return result;
}

PictureResult RenderMetafile(const QByteArray& bytes) {
    const QString helper = QDir(HelperFolder()).filePath(QLatin1String(wmf::kHelperName));
    WmfRenderResult drawn = RenderWmfInHelper(bytes, helper, wmf::kWallMilliseconds);
    if (drawn.error != PictureError::None)
        return Failure(drawn.error, drawn.detail);
    PictureResult result;
    result.naturalSize = drawn.image.size();
    result.image = std::move(drawn.image);
    return result;
}

const char* ErrorName(PictureError error) {
    switch (error) {
    case PictureError::Truncated:
        return "truncated";
    case PictureError::Invalid:
        return "invalid";
    case PictureError::TooLarge:
        return "too large";
    case PictureError::NotAFile:
        return "not a file";
    case PictureError::Unreadable:
        return "unreadable";
    case PictureError::NoFonts:
        return "no fonts to draw it";
    case PictureError::None:
        break;
    }
    return "read";
}

// Once per refused read, whichever layer refused it.
void LogRefusal(const QByteArray& localPath, PictureError error, const QString& detail) {
    qCWarning(lcPicture).noquote().nospace() << "refused " << QFile::decodeName(localPath) << " ("
                                             << ErrorName(error) << "): " << detail;
}

CheckedPictureBytes CheckBytes(const QByteArray& localPath) {
    CheckedPictureBytes checked;
    PictureFileData file = ReadPictureFileData(localPath, kMaxFileBytes);
    checked.error = file.error;
    checked.detail = file.detail;
    if (file.error != PictureError::None)
        return checked;
    checked.probe =
        ProbePicture(std::span(reinterpret_cast<const std::uint8_t*>(file.bytes.constData()),
                               std::size_t(file.bytes.size())));
    const PictureProbe& probe = checked.probe;
    auto refuse = [&checked](PictureError error, const char* detail) {
        checked.error = error;
        checked.detail = QLatin1String(detail);
        return checked;
    };
    // Checked in this order: a bomb's header usually comes without its data.
    if (file.bytes.isEmpty())
        return refuse(PictureError::Invalid, "empty file");
    if (probe.kind == PictureKind::Unknown)
        return refuse(PictureError::Invalid, "not a picture we read");
    if (probe.pixels() > kMaxPicturePixels)
        return refuse(PictureError::TooLarge, "picture too large");
    if (probe.truncated)
        return refuse(PictureError::Truncated, "data ends early");
    if (probe.invalid)
        return refuse(PictureError::Invalid, "broken picture structure");
    checked.bytes = std::move(file.bytes);
    return checked;
}

PictureResult Read(const QByteArray& localPath, const PictureReadOptions& options) {
    PrepareImageIo();
    CheckedPictureBytes checked = CheckBytes(localPath);
    if (checked.error != PictureError::None)
        return Failure(checked.error, checked.detail);
    PictureResult result = checked.probe.kind == PictureKind::Wmf
                               ? RenderMetafile(checked.bytes)
                               : DecodeRaster(checked.bytes, checked.probe, options);
    result.kind = checked.probe.kind;
    return result;
}

QString ExecutableFolder() {
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

} // namespace

PictureResult ReadPictureLocal(const QByteArray& localPath, const PictureReadOptions& options) {
    PictureResult result = Read(localPath, options);
    if (!result.ok())
        LogRefusal(localPath, result.error, result.detail);
    return result;
}

CheckedPictureBytes ReadCheckedPictureBytesLocal(const QByteArray& localPath) {
    CheckedPictureBytes checked = CheckBytes(localPath);
    if (checked.error != PictureError::None)
        LogRefusal(localPath, checked.error, checked.detail);
    return checked;
}

CheckedPictureBytes ReadCheckedPictureBytes(const QString& path) {
    return ReadCheckedPictureBytesLocal(QFile::encodeName(path));
}

PictureResult ReadPicture(const QString& path, const PictureReadOptions& options) {
    return ReadPictureLocal(QFile::encodeName(path), options);
}

void SetHelperFolder(const QString& folder) {
    std::lock_guard lock(helperFolderMutex);
    helperFolderValue = folder;
}

QString HelperFolder() {
    {
        std::lock_guard lock(helperFolderMutex);
        if (!helperFolderValue.isEmpty())
            return helperFolderValue;
    }
    return ExecutableFolder();
}

} // namespace fotello
