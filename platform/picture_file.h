#pragma once
// Reads a picture file's bytes without ever opening anything but a regular
// file: a FIFO, socket, device or folder named like a picture is refused
// before it is opened, and a FIFO swapped in afterwards cannot block us.

#include <QByteArray>
#include <QString>

#include "platform/picture_reader.h"

namespace fotello {

struct PictureFileData {
    QByteArray bytes;
    PictureError error = PictureError::None;
    QString detail;
};

// localPath is the path as the file system spells it (any bytes but NUL).
PictureFileData ReadPictureFileData(const QByteArray& localPath, qint64 maxBytes);

} // namespace fotello
