#pragma once
// What the main window's viewing handlers keep between events.

#include <cstdint>

#include <QByteArray>
#include <QPointF>
#include <QSize>
#include <QStringList>
#include <QVector>

#include "view/magnifier_rules.h"
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

    Point magnifierCentre; // kept between ticks
    QSize magnifierIdle;   // the pane's size when the idle cross was drawn; empty when not on
    // The mouse move the hover flag was last decided by.
    quint64 hoverStamp = 0;
    QPointF hoverAt{-1e9, -1e9};
};

} // namespace fotello
