#include "controls/toolbar_button.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "controls/toolbar_strip.h"

namespace fotello {

ToolbarButton::ToolbarButton(const QString& name, QWidget* parent) : QAbstractButton(parent) {
    setObjectName(name);
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    // Reached with Tab; a click leaves the focus where it was (the file list
    // keeps its arrow keys).
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::clicked, this, [this] {
        emit Click();
        if (action_)
            action_->trigger();
    });
}

void ToolbarButton::setAction(QAction* action) {
    if (action_)
        disconnect(action_, nullptr, this, nullptr);
    action_ = action;
    if (!action)
        return;
    connect(action, &QAction::changed, this, &ToolbarButton::followAction);
    followAction();
}

void ToolbarButton::followAction() {
    QAction* a = action_;
    setEnabled(a->isEnabled());
    setToolTip(a->toolTip());
    setAccessibleName(QString(a->text()).remove('&'));
    setAccessibleDescription(a->statusTip());
    if (!a->icon().isNull() && a->icon().cacheKey() != picture_.cacheKey())
        setPicture(a->icon());
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
    setText(c);
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
    if (!text().isEmpty()) {
        const QFontMetrics fm(font());
        w += fm.horizontalAdvance(text()) + (picture_.isNull() ? 8 : 4);
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
    QAbstractButton::enterEvent(e);
    setHover(true);
}

void ToolbarButton::leaveEvent(QEvent* e) {
    QAbstractButton::leaveEvent(e);
    setHover(false);
}

void ToolbarButton::hideEvent(QHideEvent* e) {
    QAbstractButton::hideEvent(e);
    setDown(false);
    setHover(false);
}

void ToolbarButton::mouseMoveEvent(QMouseEvent* e) {
    QAbstractButton::mouseMoveEvent(e);
    // A press that captured the mouse gets no leave event while dragging out.
    setHover(rect().contains(e->position().toPoint()));
}

void ToolbarButton::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !e->isAutoRepeat()) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(e);
}

void ToolbarButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Buttons that share a place on a bar: the one in front hides the other.
    if (auto* bar = qobject_cast<ToolbarStrip*>(parentWidget()))
        ToolbarStrip::paintBar(p, QRect(-pos(), bar->size()), bar->palette());
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPalette& pal = palette();
    const bool down = isDown();
    const QString caption = text();
    if (isEnabled() && (hover_ || down)) {
        QColor fill = pal.color(QPalette::Highlight);
        fill.setAlpha(down ? 90 : 40);
        p.setBrush(fill);
        p.setPen(pal.color(QPalette::Highlight));
        p.drawRoundedRect(r, 3, 3);
    } else if (!caption.isEmpty() && picture_.isNull()) {
        p.setBrush(pal.color(QPalette::Button));
        p.setPen(pal.color(QPalette::Mid));
        p.drawRoundedRect(r, 3, 3);
    }
    if (hasFocus()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(pal.color(QPalette::Highlight), 1.5));
        p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
    }

    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QIcon& icon =
        (hover_ && isEnabled() && !hoverPicture_.isNull()) ? hoverPicture_ : picture_;
    int x = 6;
    const int shift = down ? 1 : 0;
    if (!icon.isNull()) {
        const QPixmap pm = icon.pixmap(QSize(iconSize_, iconSize_), devicePixelRatioF(), mode);
        const int ix = caption.isEmpty() ? (width() - iconSize_) / 2 : x;
        p.drawPixmap(ix + shift, (height() - iconSize_) / 2 + shift, pm);
        x = ix + iconSize_ + 4;
    }
    if (!caption.isEmpty()) {
        p.setPen(
            pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        QRect tr = rect().adjusted(x, 0, -4, 0).translated(shift, shift);
        const int align = picture_.isNull() ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter);
        if (picture_.isNull())
            tr = rect().translated(shift, shift);
        p.drawText(tr, align, caption);
    }
}

CommandButton::CommandButton(const QString& name, const QString& caption, QWidget* parent)
    : ToolbarButton(name, parent) {
    setCaption(caption);
    setFocusPolicy(Qt::StrongFocus);
}

} // namespace fotello
