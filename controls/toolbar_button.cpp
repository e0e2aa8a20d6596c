#include "controls/toolbar_button.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace fotello {

ToolbarButton::ToolbarButton(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void ToolbarButton::setPicture(const QIcon& p) {
    picture_ = p;
    updateGeometry();
    update();
}

void ToolbarButton::setHoverPicture(const QIcon& p) {
    hoverPicture_ = p;
    update();
}

void ToolbarButton::setCaption(const QString& c) {
    caption_ = c;
    updateGeometry();
    update();
}

void ToolbarButton::setIconSize(int px) {
    iconSize_ = px;
    updateGeometry();
    update();
}

QSize ToolbarButton::sizeHint() const {
    const int pad = 6;
    int w = pad * 2;
    int h = pad * 2;
    if (!picture_.isNull()) {
        w += iconSize_;
        h += iconSize_;
    }
    if (!caption_.isEmpty()) {
        const QFontMetrics fm(font());
        w += fm.horizontalAdvance(caption_) + (picture_.isNull() ? 8 : 4);
        h = std::max(h, fm.height() + pad * 2);
    }
    return {w, h};
}

void ToolbarButton::setHover(bool on) {
    if (hover_ == on)
        return;
    hover_ = on;
    update();
    if (on)
        emit MouseEnter();
    else
        emit MouseExit();
}

void ToolbarButton::enterEvent(QEnterEvent* e) {
    QWidget::enterEvent(e);
    setHover(true);
}

void ToolbarButton::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    pressedInside_ = false;
    setHover(false);
}

void ToolbarButton::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    pressed_ = pressedInside_ = false;
    setHover(false);
}

void ToolbarButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !isEnabled()) {
        e->ignore();
        return;
    }
    pressed_ = pressedInside_ = true;
    update();
}

void ToolbarButton::mouseMoveEvent(QMouseEvent* e) {
    if (pressed_) {
        const bool inside = rect().contains(e->position().toPoint());
        if (inside != pressedInside_) {
            pressedInside_ = inside;
            update();
        }
    }
    // A press that captured the mouse gets no leave event while dragging out.
    setHover(rect().contains(e->position().toPoint()));
}

void ToolbarButton::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    const bool wasPressed = pressed_;
    pressed_ = pressedInside_ = false;
    update();
    if (wasPressed && isEnabled() && rect().contains(e->position().toPoint()))
        emit Click();
}

void ToolbarButton::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange && !isEnabled()) {
        pressed_ = pressedInside_ = false;
        update();
    }
}

void ToolbarButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPalette& pal = palette();
    if (isEnabled() && (hover_ || pressedInside_)) {
        QColor fill = pal.color(QPalette::Highlight);
        fill.setAlpha(pressedInside_ ? 90 : 40);
        p.setBrush(fill);
        p.setPen(pal.color(QPalette::Highlight));
        p.drawRoundedRect(r, 3, 3);
    } else if (!caption_.isEmpty() && picture_.isNull()) {
        p.setBrush(pal.color(QPalette::Button));
        p.setPen(pal.color(QPalette::Mid));
        p.drawRoundedRect(r, 3, 3);
    }

    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QIcon& icon =
        (hover_ && isEnabled() && !hoverPicture_.isNull()) ? hoverPicture_ : picture_;
    int x = 6;
    const int shift = pressedInside_ ? 1 : 0;
    if (!icon.isNull()) {
        const QPixmap pm = icon.pixmap(QSize(iconSize_, iconSize_), devicePixelRatioF(), mode);
        const int ix = caption_.isEmpty() ? (width() - iconSize_) / 2 : x;
        p.drawPixmap(ix + shift, (height() - iconSize_) / 2 + shift, pm);
        x = ix + iconSize_ + 4;
    }
    if (!caption_.isEmpty()) {
        p.setPen(
            pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        QRect tr = rect().adjusted(x, 0, -4, 0).translated(shift, shift);
        const int align = picture_.isNull() ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter);
        if (picture_.isNull())
            tr = rect().translated(shift, shift);
        p.drawText(tr, align, caption_);
    }
}

CommandButton::CommandButton(const QString& name, const QString& caption, QWidget* parent)
    : ToolbarButton(name, parent) {
    setCaption(caption);
    setFocusPolicy(Qt::StrongFocus);
}

} // namespace fotello
