#include "controls/toolbar_strip.h"

#include <QLinearGradient>
#include <QPainter>

namespace fotello {

ToolbarStrip::ToolbarStrip(const QString& name, QWidget* parent) : QFrame(parent) {
    setObjectName(name);
}

void ToolbarStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor base = palette().color(QPalette::Window);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, base.lighter(108));
    g.setColorAt(1, base.darker(106));
    p.fillRect(rect(), g);
    p.setPen(base.darker(125));
    p.drawLine(0, height() - 1, width(), height() - 1);
    p.setPen(base.lighter(125));
    p.drawLine(0, 0, width(), 0);
}

} // namespace fotello
