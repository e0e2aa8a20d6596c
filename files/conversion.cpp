#include "files/conversion.h"

#include <cerrno>

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>

#include "files/safe_write.h"
#include "platform/log.h"
#include "platform/picture_reader.h"

namespace fotello {

namespace {

ConversionResult Error(int number, const char* description) {
    return {number, QString::fromUtf8(description)};
}

ConversionResult WriteError(const FileResult& r) {
    switch (r.error) {
    case ENOENT:
    case ENOTDIR:
        return Error(76, "Path not found");
    case ENOSPC:
    case EDQUOT:
        return Error(61, "Disk full");
    default:
        return Error(75, "Path/File access error");
    }
}

} // namespace

ConversionResult ConvertPicture(const QByteArray& sourceLocal, const QByteArray& target,
                                ConversionKind kind, int quality) {
    PictureReadOptions whole;
    const PictureResult read = ReadPictureLocal(sourceLocal, whole);
    if (!read.ok()) {
        qCWarning(lcFiles) << "conversion source" << sourceLocal << read.detail;
        return Error(481, "Invalid picture");
    }
    QImage image = read.image;
    const char* format = "bmp";
    if (kind == ConversionKind::Ico) {
        if (image.width() > kMaxIconSide || image.height() > kMaxIconSide)
            return Error(kIconTooBig, "The bitmap may be too big to convert to an icon format");
        format = "ico";
    } else if (kind == ConversionKind::Jpeg) {
        format = "jpeg";
    }
    if (kind != ConversionKind::Ico && image.hasAlphaChannel()) {
        // BMP and JPEG carry no transparency here: flatten onto white.
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter(&flat).drawImage(0, 0, image);
        image = flat;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (kind == ConversionKind::Jpeg)
        writer.setQuality(quality);
    if (!writer.write(image)) {
        qCWarning(lcFiles) << "encoding" << target << writer.errorString();
        return Error(kind == ConversionKind::Ico ? kIconTooBig : 481, "Invalid picture");
    }
    const FileResult written =
        WriteFileSafely(target.toStdString(), std::string_view(bytes.constData(), bytes.size()));
    if (!written) {
        qCWarning(lcFiles) << "writing" << target << written.message.c_str();
        return WriteError(written);
    }
    return {};
}

QString ConvertedMessage(const QString& target) {
    return "Arquivo convertido para: " + target;
}

QString BmpErrorMessage(const ConversionResult& r) {
    return "ERROR " + QString::number(r.errorNumber) + "\r\n" + r.description;
}

QString IcoErrorMessage(const ConversionResult& r) {
    return "ERRO: " + QString::number(r.errorNumber) + "\r\n" + r.description;
}

} // namespace fotello
