#pragma once
// Reading and writing the pictures of fotello-filter.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace fotello {

// The output's kind from its name: "bmp" or "png" (any case), else empty.
QString OutputFormatFor(const QString& path);

// Paths are given as the file system spells them: names that are not UTF-8
// keep their bytes.

// Reads any picture Fotello reads, as Format_RGB32. On failure the image is
// null and `message` says why.
QImage ReadInputPicture(const QByteArray& localPath, QString& message);

// Why the output may not be written, or empty. Only a new name or an existing
// regular file is replaced: a folder, device, FIFO or socket is refused, and so
// is a symbolic link whatever it points to (the link is never followed nor
// replaced).
QString OutputRefusal(const QByteArray& localPath);

// Writes through a temporary file in the same folder, renamed over the output
// only when every byte is written: a failure leaves no partial output. BMP is
// 24-bit.
bool WriteOutputPicture(const QImage& image, const QByteArray& localPath, QString& message);

} // namespace fotello
