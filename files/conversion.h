#pragma once
// Writing the current picture as a BMP, an icon or a JPEG file. The source
// file is read again, whole (the preview may hold a reduced copy), and the
// target is written through the safe writer: an existing target is replaced
// only by a complete file. Safe to run on a worker thread.

#include <QByteArray>
#include <QString>

namespace fotello {

enum class ConversionKind { Bmp, Ico, Jpeg };

struct ConversionResult {
    int errorNumber = 0; // 0 on success, else the error numbers users know
    QString description;
    bool ok() const { return errorNumber == 0; }
};

inline constexpr int kIconTooBig = 380;
inline constexpr int kMaxIconSide = 256;

// Both paths as the file system spells them; quality only for JPEG (a
// libjpeg quality, 0 to 100).
ConversionResult ConvertPicture(const QByteArray& sourceLocal, const QByteArray& targetLocal,
                                ConversionKind kind, int quality = 90);

// The messages of the conversion menu.
QString ConvertedMessage(const QString& target);
QString BmpErrorMessage(const ConversionResult& r);
QString IcoErrorMessage(const ConversionResult& r);

} // namespace fotello
