#pragma once
// A toolbar strip: a shaded bar that holds buttons placed by the window.

#include <QFrame>
#include <QLabel>

namespace fotello {

class ToolbarStrip : public QFrame {
    Q_OBJECT
public:
    explicit ToolbarStrip(const QString& name, QWidget* parent = nullptr);

    // The strip's shading, for a control that must look like the bar under it.
    static void paintBar(QPainter& p, const QRect& bar, const QPalette& palette);

protected:
    void paintEvent(QPaintEvent* e) override;
};

// A label on a strip sharing its place with others: while it has text it
// covers them with the bar's own shading; empty, it lets them show.
class StripLabel : public QLabel {
    Q_OBJECT
public:
    explicit StripLabel(const QString& name, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace fotello
