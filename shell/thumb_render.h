#pragma once
// One thumbnail, drawn on a worker thread: the file read at the smallest size
// that still covers the box, area-averaged to its place in the square box.

#include <QByteArray>
#include <QColor>
#include <QImage>

#include "platform/picture_reader.h"
#include "shell/thumb_geometry.h"

namespace fotello {

struct RenderedThumb {
    QImage picture;           // placement.w x placement.h, RGB32: only the picture's part
    ThumbPlacement placement; // within the square box of side `side`
    PictureError error = PictureError::None;
    bool ok() const { return error == PictureError::None; }
};

// Safe on any thread. Transparent parts show `back`, the box's colour.
RenderedThumb RenderThumb(const QByteArray& localPath, int side, QRgb back);

// The square box as the cell shows it: the background, the picture at its
// place, and the black frame one pixel outside the picture.
QImage ComposeThumb(int side, QRgb back, const QImage& picture, const ThumbPlacement& placement);

} // namespace fotello
