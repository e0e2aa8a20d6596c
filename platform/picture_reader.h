#pragma once
// The one way Fotello reads a picture file: preview, thumbnails, conversion,
// effects, printing and the command-line tools all come through here.
// Safe to call from worker threads (returns a QImage, never a QPixmap).

#include <functional>

#include <QImage>
#include <QSize>
#include <QString>

#include "platform/picture_probe.h"

namespace fotello {

enum class PictureError {
    None,
    Truncated,  // the data ends early ("Arquivo Truncado")
    Invalid,    // not a picture of a kind we read, or corrupt ("Arquivo Inválido !")
    TooLarge,   // declared size over the pixel cap (a decompression bomb)
    NotAFile,   // a folder, FIFO, socket or device named like a picture: never opened for reading
    Unreadable, // missing, no permission, I/O error
    NoFonts,    // a metafile that this machine cannot draw: libwmf's fonts are missing
};

struct PictureReadOptions {
    // When valid, the caller only needs a picture that covers this box (a
    // thumbnail): JPEGs are decoded at the smallest reduced size libjpeg
    // offers (1/2, 1/4, 1/8) that still covers it. The result is then not the
    // natural size; naturalSize still says what that is.
    QSize coverBox;
    // The same box, worked out from the picture's natural (oriented) size once
    // its header is read: the preview covers the size it fits the picture to.
    // Used when coverBox is not valid; called on the reading thread.
    std::function<QSize(QSize natural)> coverFor;
    // A JPEG reduced to 1/8 is decoded by JpegEighthDecoder when it can
    // (the same pixels as libjpeg's, decoded without what 1/8 throws away).
    bool quickEighth = false;
    // Apply the EXIF orientation, as every current viewer shows pictures.
    bool applyOrientation = true;
    // Polled on the reading thread while the picture decodes: true abandons it
    // (an Invalid result) when nobody wants it any more.
    std::function<bool()> stop;
};

struct PictureResult {
    // Format_RGB32 for opaque pictures; Format_ARGB32 (straight alpha) where the
    // picture has transparency (icons, cursors, GIFs, some BMPs and metafiles).
    QImage image;
    QSize naturalSize;                       // as displayed (after orientation)
    PictureKind kind = PictureKind::Unknown; // by the contents, whatever the name says
    PictureError error = PictureError::None;
    QString detail; // what failed, for logs and tests; never shown as is
    bool ok() const { return error == PictureError::None; }
};

// Pixel cap: opens photos of well over 100 MP, refuses bombs before allocating.
inline constexpr qint64 kMaxPicturePixels = qint64(1) << 28; // 268 MP, 1 GiB as RGB32

// Pictures are recognised by their content, not their name (a PNG or JPEG
// named .bmp shows, as users expect); BMP, JPEG, GIF (first frame), ICO and CUR
// (the largest picture in the file), PNG and WMF are read, anything else is Invalid.
PictureResult ReadPicture(const QString& path, const PictureReadOptions& options = {});
// The same for a path as the file system spells it: names whose bytes are not
// valid UTF-8 have no QString that maps back to them.
PictureResult ReadPictureLocal(const QByteArray& localPath, const PictureReadOptions& options = {});

// A picture file's bytes, checked as ReadPicture checks them (a regular file,
// a kind we read, under the pixel cap, complete) but not decoded. For QMovie:
// hand it a QBuffer over these bytes, never the path, which it would open and
// decode unchecked (FIFOs, bombs).
struct CheckedPictureBytes {
    QByteArray bytes; // empty unless error is None
    PictureError error = PictureError::None;
    QString detail;
    PictureProbe probe; // the kind and declared size
};
CheckedPictureBytes ReadCheckedPictureBytes(const QString& path);
CheckedPictureBytes ReadCheckedPictureBytesLocal(const QByteArray& localPath);
// Decodes bytes already checked (error None) as ReadPictureLocal would, without
// reading the file again; localPath only names it in the log.
PictureResult DecodeCheckedPicture(const QByteArray& localPath, const CheckedPictureBytes& checked,
                                   const PictureReadOptions& options = {});

// The folder that holds the program's helpers (the WMF renderer). Defaults to
// the executable's folder; tests point it at the build's bin folder.
void SetHelperFolder(const QString& folder);
QString HelperFolder();

} // namespace fotello
