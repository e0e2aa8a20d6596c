#pragma once
// One thumbnail, drawn on a worker thread: the file read at the smallest size
// that still covers the box, area-averaged to its place in the square box.
// With the shared cache, the cached thumbnail stands in for the file: read
// from the cache, or made from the file and written there, it is what the
// cell's own area-averaging reduces, so a cell looks the same either way.

#include <QByteArray>
#include <QColor>
#include <QImage>

#include "platform/picture_reader.h"
#include "shell/thumb_geometry.h"

namespace fotello {

class ThumbCache;

struct RenderedThumb {
    // Only the picture's part: placement.w x placement.h in the strip's
    // pixels, that many times the pixel ratio in its own (devicePixelRatio set).
    QImage picture;
    ThumbPlacement placement; // within the square box of side `side`
    PictureError error = PictureError::None;
    bool fromCache = false; // not decoded: the cached thumbnail was used
    bool ok() const { return error == PictureError::None; }
};

struct ThumbRequest {
    int side = 0;         // of the square box, in the strip's pixels
    QRgb back = 0;        // transparent parts show the box's colour
    qreal pixelRatio = 1; // device pixels per strip pixel: cells are drawn in device pixels
    bool refresh = false; // the file was just written: read it and renew its cache entry
};

// Safe on any thread. cache may be null (no cache).
RenderedThumb RenderThumb(const QByteArray& localPath, const ThumbRequest& request,
                          const ThumbCache* cache = nullptr);

// The square box as the cell shows it: the background, the picture at its
// place, and the black frame one pixel outside the picture; at the picture's
// pixel ratio.
QImage ComposeThumb(int side, QRgb back, const QImage& picture, const ThumbPlacement& placement);

} // namespace fotello
