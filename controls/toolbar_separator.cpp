#include "controls/toolbar_separator.h"

#include <QPainter>

namespace fotello {

ToolbarSeparator::ToolbarSeparator(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
}

void ToolbarSeparator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int x = width() / 2;
    const QColor base = palette().color(QPalette::Window);
    p.setPen(base.darker(140));
    p.drawLine(x, 3, x, height() - 4);
    p.setPen(base.lighter(140));
    p.drawLine(x + 1, 3, x + 1, height() - 4);
}

EtchedLine::EtchedLine(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setFixedHeight(2);
}

void EtchedLine::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor base = palette().color(QPalette::Window);
    p.setPen(base.darker(140));
    p.drawLine(0, 0, width(), 0);
    p.setPen(base.lighter(140));
    p.drawLine(0, 1, width(), 1);
}

} // namespace fotello
