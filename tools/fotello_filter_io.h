#pragma once
// Reading and writing the pictures of fotello-filter.

#include <QImage>
#include <QString>

namespace fotello {

// The output's kind from its name: "bmp" or "png" (any case), else empty.
QString OutputFormatFor(const QString& path);

// Reads any picture Fotello reads, as Format_RGB32. On failure the image is
// null and `message` says why.
QImage ReadInputPicture(const QString& path, QString& message);

// Writes through a temporary file in the same folder, renamed over `path` only
// when every byte is written: a failure leaves no partial output. BMP is 24-bit.
bool WriteOutputPicture(const QImage& image, const QString& path, QString& message);

} // namespace fotello
