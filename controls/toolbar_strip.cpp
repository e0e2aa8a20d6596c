#include "controls/toolbar_strip.h"

#include <QLinearGradient>
#include <QPainter>

namespace fotello {

ToolbarStrip::ToolbarStrip(const QString& name, QWidget* parent) : QFrame(parent) {
    setObjectName(name);
}

void ToolbarStrip::paintBar(QPainter& p, const QRect& bar, const QPalette& palette) {
    const QColor base = palette.color(QPalette::Window);
    QLinearGradient g(0, bar.top(), 0, bar.bottom() + 1);
    g.setColorAt(0, base.lighter(108));
    g.setColorAt(1, base.darker(106));
    p.fillRect(bar, g);
    p.setPen(base.darker(125));
    p.drawLine(bar.left(), bar.bottom(), bar.right() + 1, bar.bottom());
    p.setPen(base.lighter(125));
    p.drawLine(bar.left(), bar.top(), bar.right() + 1, bar.top());
}

void ToolbarStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintBar(p, rect(), palette());
}

StripLabel::StripLabel(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
}

void StripLabel::paintEvent(QPaintEvent* e) {
    if (text().isEmpty())
        return;
    {
        QPainter p(this);
        // The bar as it is drawn behind this label's place.
        const QWidget* bar = parentWidget();
        const QRect barRect = bar ? QRect(-pos(), bar->size()) : rect();
        ToolbarStrip::paintBar(p, barRect, palette());
    }
    QLabel::paintEvent(e);
}

} // namespace fotello
