#include "effects/effects_save.h"

#include <QBuffer>
#include <QImageWriter>

#include "files/conversion.h"
#include "files/file_rules.h"
#include "files/safe_write.h"
#include "platform/log.h"

namespace fotello {

bool SaveEffectsPicture(const QImage& picture, const QByteArray& targetLocal,
                        EffectsSaveKind kind) {
    const char* format = nullptr;
    switch (kind) {
    case EffectsSaveKind::Bmp:
        format = "bmp";
        break;
    case EffectsSaveKind::Ico:
        if (picture.width() > kMaxIconSide || picture.height() > kMaxIconSide)
            return false;
        format = "ico";
        break;
    case EffectsSaveKind::Jpg:
        format = "jpeg";
        break;
    case EffectsSaveKind::None:
        return false;
    }
    if (picture.isNull() || targetLocal.isEmpty())
        return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (kind == EffectsSaveKind::Jpg)
        writer.setQuality(JpegQualityForRate(kEffectsJpegRate));
    if (!writer.write(picture)) {
        qCWarning(lcFiles) << "effects: encoding" << targetLocal << writer.errorString();
        return false;
    }
    const FileResult written = WriteFileSafely(targetLocal.toStdString(),
                                               std::string_view(bytes.constData(), bytes.size()));
    if (!written) {
        qCWarning(lcFiles) << "effects: writing" << targetLocal << written.message.c_str();
        return false;
    }
    return true;
}

} // namespace fotello
