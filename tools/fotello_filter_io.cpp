#include "tools/fotello_filter_io.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

#include "files/safe_write.h"
#include "platform/picture_reader.h"

namespace fotello {

namespace {

QString ReadErrorText(PictureError error) {
    switch (error) {
    case PictureError::Truncated:
        return QStringLiteral("arquivo truncado");
    case PictureError::Invalid:
        return QStringLiteral("arquivo inválido");
    case PictureError::TooLarge:
        return QStringLiteral("imagem grande demais");
    case PictureError::NotAFile:
        return QStringLiteral("não é um arquivo");
    case PictureError::Unreadable:
        return QStringLiteral("não foi possível abrir");
    case PictureError::NoFonts:
        return QStringLiteral(
            "faltam as fontes para desenhar metarquivos (pacote fonts-urw-base35)");
    case PictureError::None:
        break;
    }
    return QString();
}

} // namespace

QString OutputFormatFor(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("bmp") || suffix == QLatin1String("png") ? suffix : QString();
}

QImage ReadInputPicture(const QByteArray& localPath, QString& message) {
    const QString path = QFile::decodeName(localPath);
    const PictureResult result = ReadPictureLocal(localPath);
    if (!result.ok() || result.image.isNull()) {
        message = QStringLiteral("não foi possível ler \"%1\": %2")
                      .arg(path, result.ok() ? QStringLiteral("imagem vazia")
                                             : ReadErrorText(result.error));
        return QImage();
    }
    QImage image = result.image.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        message = QStringLiteral("memória insuficiente para \"%1\"").arg(path);
    }
    return image;
}

QString OutputRefusal(const QByteArray& localPath) {
    const QString path = QFile::decodeName(localPath);
    struct stat info {};
    if (::lstat(localPath.constData(), &info) != 0) {
        if (errno == ENOENT)
            return QString();
        return QStringLiteral("não foi possível gravar \"%1\": %2")
            .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("não foi possível gravar \"%1\": é um link simbólico").arg(path);
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("não foi possível gravar \"%1\": não é um arquivo comum").arg(path);
    return QString();
}

bool WriteOutputPicture(const QImage& image, const QByteArray& localPath, QString& message) {
    const QString path = QFile::decodeName(localPath);
    const QString format = OutputFormatFor(path);
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format.toLatin1());
        // RGB32 goes out as a 24-bit BMP; PNG keeps it without alpha.
        if (format.isEmpty() || !writer.write(image)) {
            message = QStringLiteral("não foi possível codificar \"%1\"").arg(path);
            return false;
        }
    }
    // Looked at again just before the rename: the filter may have run for long.
    message = OutputRefusal(localPath);
    if (!message.isEmpty())
        return false;
    const FileResult written =
        WriteFileSafely(localPath.toStdString(), std::string_view(bytes.constData(), bytes.size()));
    if (!written) {
        message = QStringLiteral("não foi possível gravar \"%1\": %2")
                      .arg(path, QString::fromLocal8Bit(std::strerror(written.error)));
        return false;
    }
    return true;
}

} // namespace fotello
