#pragma once
// What the main window's viewing handlers keep between events.

#include <cstdint>

#include <QByteArray>
#include <QStringList>
#include <QVector>

#include "view/slide_sequence.h"
#include "view/zoom_rules.h"

class QTimer;

namespace fotello {

class PreviewLoader;

struct ViewState {
    // The zoomed size of Image1 as floats, while Image1 still has its rounded value.
    SizeF zoom;
    Size zoomShown;

    SlideSequence slides;
    PreviewLoader* slideLoader = nullptr; // reads the show's pictures, the next one ahead
    QTimer* slideWait = nullptr;          // the interval, on the monotonic clock
    std::uint64_t slideGeneration = 0;    // the picture asked for
    bool slideStopLoad = false;           // that picture is the one stop leaves behind
    QString slideFolder;
    QStringList slideNames;
    QVector<QByteArray> slideLocal;
};

} // namespace fotello
