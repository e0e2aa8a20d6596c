#include "tools/fotello_filter_io.h"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

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

QImage ReadInputPicture(const QString& path, QString& message) {
    const PictureResult result = ReadPicture(path);
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

bool WriteOutputPicture(const QImage& image, const QString& path, QString& message) {
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        message =
            QStringLiteral("não foi possível gravar \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    // A short count can come with no error set (full disk): check it.
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        message = QStringLiteral("não foi possível gravar \"%1\": gravação incompleta").arg(path);
        return false;
    }
    if (!file.commit()) {
        message =
            QStringLiteral("não foi possível gravar \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace fotello
