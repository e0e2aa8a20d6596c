#pragma once
// Draws a metafile by running our helper process (fotello-wmf): libwmf never
// runs inside the browser, and the helper is killed when it overstays.

#include <QByteArray>
#include <QImage>
#include <QString>

#include "platform/picture_reader.h"

namespace fotello {

struct WmfRenderResult {
    QImage image; // Format_ARGB32 when the drawing has transparency, else Format_RGB32
    PictureError error = PictureError::None;
    QString detail;
};

// helperPath: the helper executable. timeoutMs: wall-clock limit.
WmfRenderResult RenderWmfInHelper(const QByteArray& metafile, const QString& helperPath,
                                  int timeoutMs);

} // namespace fotello
