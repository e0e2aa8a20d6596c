#pragma once
// Reads a picture file's bytes without ever opening anything but a regular
// file: a FIFO, socket, device or folder named like a picture is refused
// before it is opened, and a FIFO swapped in afterwards cannot block us.

#include <functional>

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
// The file is read in growing steps, a first one of kFirstReadBytes: after each
// step that fills the buffer, `enough` (if given) sees what was read so far and
// may stop the reading there, so that a file whose start already says it is
// broken, complete or a bomb is never held whole.
inline constexpr qint64 kFirstReadBytes = 64 * 1024;
// After the first step a file up to this size is read whole in one step: any
// picture may carry this much of headers and metadata, and reading it in
// doubling steps would walk its start again at each one.
inline constexpr qint64 kWholeReadBytes = qint64(16) << 20;
PictureFileData ReadPictureFileData(const QByteArray& localPath, qint64 maxBytes,
                                    const std::function<bool(const QByteArray&)>& enough = {});

} // namespace fotello
