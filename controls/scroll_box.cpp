#include "controls/scroll_box.h"

#include <QResizeEvent>
#include <QScrollBar>

#include "platform/colour.h"

namespace fotello {

ScrollBox::ScrollBox(const QString& name, QWidget* parent) : QScrollArea(parent) {
    setObjectName(name);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    canvas_ = new QWidget;
    canvas_->setObjectName(name + "_canvas");
    canvas_->setAutoFillBackground(true);
    setWidget(canvas_);
    setScrollMode(0);
    setBackColor(0);
}

void ScrollBox::setBackColor(std::uint32_t bgr) {
    back_ = bgr;
    QPalette pal = canvas_->palette();
    pal.setColor(QPalette::Window, ColorFromBgr(bgr));
    canvas_->setPalette(pal);
    QPalette vp = viewport()->palette();
    vp.setColor(QPalette::Window, ColorFromBgr(bgr));
    viewport()->setPalette(vp);
    viewport()->setAutoFillBackground(true);
}

void ScrollBox::setScrollMode(int mode) {
    mode_ = mode;
    const auto policy = mode == 0 ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
    refit();
}

void ScrollBox::refit() {
    QSize size = viewport()->size();
    if (mode_ != 0) {
        const QRect used = canvas_->childrenRect();
        size = size.expandedTo(QSize(used.right() + 1, used.bottom() + 1));
    }
    canvas_->resize(size);
    if (mode_ == 0) {
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
    }
}

void ScrollBox::resizeEvent(QResizeEvent* e) {
    QScrollArea::resizeEvent(e);
    refit();
}

} // namespace fotello
