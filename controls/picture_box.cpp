#include "controls/picture_box.h"

#include <QPainter>

namespace fotello {

PictureBox::PictureBox(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    back_ = palette().color(QPalette::Button);
}

void PictureBox::setBackColor(const QColor& c) {
    back_ = c;
    cls();
}

void PictureBox::ensureCanvas() {
    const QSize want(std::max(1, scaleWidth()), std::max(1, scaleHeight()));
    if (canvas_.size() == want)
        return;
    QImage next(want, QImage::Format_RGB32);
    next.fill(back_);
    if (!canvas_.isNull()) {
        QPainter p(&next);
        p.drawImage(0, 0, canvas_);
    }
    canvas_ = std::move(next);
}

void PictureBox::cls() {
    ensureCanvas();
    canvas_.fill(back_);
    update();
}

void PictureBox::line(QPoint from, QPoint to, const QColor& colour) {
    ensureCanvas();
    QPainter p(&canvas_);
    p.setPen(colour);
    p.drawLine(from, to);
    update();
}

void PictureBox::drawImage(QPoint at, const QImage& image) {
    ensureCanvas();
    QPainter p(&canvas_);
    p.drawImage(at, image);
    update();
}

void PictureBox::print(QPoint at, const QString& text, const QColor& colour) {
    ensureCanvas();
    QPainter p(&canvas_);
    p.setFont(font());
    p.setPen(colour);
    const QFontMetrics fm(font());
    p.drawText(at.x(), at.y() + fm.ascent(), text);
    update();
}

int PictureBox::textHeight(const QString&) const {
    return QFontMetrics(font()).height();
}


void PictureBox::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    ensureCanvas();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), back_);
    p.drawImage(contentsRect().topLeft(), canvas_);
}

} // namespace fotello
