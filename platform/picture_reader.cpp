#include "platform/picture_reader.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <span>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTransform>

#include "platform/jpeg_eighth.h"
#include "platform/log.h"
#include "platform/memory_budget.h"
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

// What every decode in the process shares. Decoders allocate it on the way,
// not only for the picture they return; 1 GiB leaves a browser of at most
// 1.5 GB room for itself and the pictures it holds, and still opens 100 MP.
constexpr qint64 kDecodeBudgetBytes = qint64(1) << 30;

MemoryBudget& DecodeBudget() {
    static MemoryBudget budget(kDecodeBudgetBytes);
    return budget;
}

// The decoder's coefficient buffers and its picture, then ours when the format
// or the orientation changes.
qint64 DecodeBytes(const PictureProbe& probe, QSize output) {
    const qint64 pixels = qint64(output.width()) * output.height();
    return probe.coefficientBytes + pixels * probe.decodedPixelBytes + pixels * 4;
}

// Hands the decoder the file's bytes until the caller no longer wants the
// picture: the decoder then sees the data end and returns at once.
class StoppableBuffer : public QIODevice {
public:
    StoppableBuffer(const QByteArray& bytes, const std::function<bool()>& stop)
        : bytes_(bytes), stop_(stop) {}
    bool isSequential() const override { return false; }
    qint64 size() const override { return bytes_.size(); }
    bool stopped() const { return stopped_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (stop_ && stop_()) {
            stopped_ = true;
            return -1;
        }
        const qint64 n = qMin(maxSize, bytes_.size() - pos());
        if (n <= 0)
            return 0;
        std::memcpy(data, bytes_.constData() + pos(), size_t(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const QByteArray& bytes_;
    const std::function<bool()>& stop_;
    bool stopped_ = false;
};

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

// As Qt's reader orients: mirror and flip first, then a quarter turn.
QImage Oriented(QImage image, QImageIOHandler::Transformations t) {
    if (t & (QImageIOHandler::TransformationMirror | QImageIOHandler::TransformationFlip))
        image = image.mirrored(t & QImageIOHandler::TransformationMirror,
                               t & QImageIOHandler::TransformationFlip);
    if (t & QImageIOHandler::TransformationRotate90)
        image = image.transformed(QTransform().rotate(90));
    return image;
}

// The 1/8 picture by the quick decoder; null when the file is not a case
// the quick decoder takes, or is damaged (libjpeg then reads it as ever).
QImage DecodeQuickEighth(const QByteArray& bytes, const std::function<bool()>& stop) {
    JpegEighthDecoder decoder;
    if (!decoder.open(reinterpret_cast<const unsigned char*>(bytes.constData()),
                      std::size_t(bytes.size())))
        return {};
    QImage image(decoder.width(), decoder.height(), QImage::Format_RGB32);
    if (image.isNull() || !decoder.decode(reinterpret_cast<std::uint32_t*>(image.bits()),
                                          image.bytesPerLine() / 4, stop))
        return {};
    return image;
}

PictureResult DecodeRaster(const QByteArray& bytes, const PictureProbe& probe,
                           const PictureReadOptions& options) {
    StoppableBuffer buffer(bytes, options.stop);
    buffer.open(QIODevice::ReadOnly | QIODevice::Unbuffered); // readData reads at pos()
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

    // The headers' own size, not the reader's: an icon's directory may say 256
    // x 256 for a PNG that its decoder reads at the PNG's size.
    const QSize output = scaled.isValid() ? scaled
                                          : QSize(int(std::min<qint64>(probe.width, INT_MAX)),
                                                  int(std::min<qint64>(probe.height, INT_MAX)));
    MemoryBudget::Grant memory = DecodeBudget().reserve(DecodeBytes(probe, output));
    if (!memory)
        return Failure(PictureError::TooLarge, QStringLiteral("needs more memory than allowed"));
    if (options.quickEighth && scaled.isValid() && scaled.width() == stored.width() / 8 &&
        scaled.height() == stored.height() / 8) {
        QImage eighth = DecodeQuickEighth(bytes, options.stop);
        if (options.stop && options.stop())
            return Failure(PictureError::Invalid, QStringLiteral("no longer wanted"));
        if (!eighth.isNull()) {
            PictureResult result;
            result.naturalSize = turned ? stored.transposed() : stored;
            result.image = options.applyOrientation
                               ? Oriented(std::move(eighth), reader.transformation())
                               : std::move(eighth);
            return result;
        }
    }
    QImage image = reader.read();
    if (buffer.stopped())
        return Failure(PictureError::Invalid, QStringLiteral("no longer wanted"));
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

PictureProbe Probe(const QByteArray& bytes) {
    return ProbePicture(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                  std::size_t(bytes.size())));
}

// The most bytes a file of this structure can need: headers and metadata, then
// no more than 16 bytes for each declared pixel (uncompressed samples take at
// most 8, and coded ones less). GIFs may repeat whole frames, metafiles declare
// no size: their structure alone bounds them.
qint64 JustifiedBytes(const PictureProbe& probe) {
    constexpr qint64 kHeaders = kWholeReadBytes;
    switch (probe.kind) {
    case PictureKind::Gif:
        return kMaxFileBytes;
    case PictureKind::Wmf:
        return qint64(128) << 20; // beyond what the helper may allocate to draw it
    default:
        return kHeaders + std::min<qint64>(probe.pixels(), kMaxPicturePixels) * 16;
    }
}

CheckedPictureBytes CheckBytes(const QByteArray& localPath) {
    CheckedPictureBytes checked;
    // Stops reading once the start says enough: not a picture, broken, a bomb,
    // complete (what follows is junk), or longer than its structure can need.
    bool overlong = false;
    auto enough = [&overlong](const QByteArray& soFar) {
        const PictureProbe probe = Probe(soFar);
        overlong = probe.truncated && soFar.size() > JustifiedBytes(probe);
        return !probe.truncated || probe.invalid || probe.pixels() > kMaxPicturePixels || overlong;
    };
    PictureFileData file = ReadPictureFileData(localPath, kMaxFileBytes, enough);
    checked.error = file.error;
    checked.detail = file.detail;
    if (file.error != PictureError::None)
        return checked;
    checked.probe = Probe(file.bytes);
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
    if (probe.truncated && overlong)
        return refuse(PictureError::Invalid, "more data than the picture can hold");
    if (probe.truncated)
        return refuse(PictureError::Truncated, "data ends early");
    if (probe.scans > kMaxJpegScans || probe.scanCoefficients > kMaxJpegScanCoefficients)
        return refuse(PictureError::Invalid, "too many scans");
    if (probe.invalid)
        return refuse(PictureError::Invalid, "broken picture structure");
    checked.bytes = std::move(file.bytes);
    return checked;
}

PictureResult Decode(const CheckedPictureBytes& checked, const PictureReadOptions& options) {
    PrepareImageIo();
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
    const CheckedPictureBytes checked = CheckBytes(localPath);
    if (checked.error != PictureError::None) {
        LogRefusal(localPath, checked.error, checked.detail);
        return Failure(checked.error, checked.detail);
    }
    return DecodeCheckedPicture(localPath, checked, options);
}

PictureResult DecodeCheckedPicture(const QByteArray& localPath, const CheckedPictureBytes& checked,
                                   const PictureReadOptions& options) {
    PictureResult result = Decode(checked, options);
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
