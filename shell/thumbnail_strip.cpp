#include "shell/thumbnail_strip.h"

#include <algorithm>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>

#include "shell/thumb_render.h"
#include "shell/thumb_strip_layout.h"

namespace fotello {

namespace {

constexpr int kCaptionGap = 2; // between the picture box and the caption

QRect ToRect(const CellPlace& place, QSize size) {
    return QRect(static_cast<int>(place.left), static_cast<int>(place.top), size.width(),
                 size.height());
}

} // namespace

ThumbnailStrip::ThumbnailStrip(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setMouseTracking(true);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    vsbSlide_ = new QScrollBar(Qt::Vertical, this);
    vsbSlide_->setObjectName("vsbSlide");
    vsbSlide_->setRange(0, 0);
    vsbSlide_->resize(vsbSlide_->sizeHint().width(), height());
    pictureBack_ = palette().color(QPalette::Button).rgb();
    slideBack_ = palette().color(QPalette::Button);
    cells_.resize(1);
    cells_[0].visible = false;
}

QString ThumbnailStrip::cellTag(int index) const {
    return valid(index) ? cells_[std::size_t(index)].tag : QString();
}

QString ThumbnailStrip::cellCaption(int index) const {
    return valid(index) ? cells_[std::size_t(index)].caption : QString();
}

QImage ThumbnailStrip::cellPicture(int index) const {
    if (!valid(index))
        return {};
    const Cell& c = cells_[std::size_t(index)];
    if (c.side <= 0)
        return {};
    return ComposeThumb(c.side, pictureBack_, c.picture.toImage(), c.placement);
}

bool ThumbnailStrip::cellSelected(int index) const {
    return valid(index) && selected_ == index;
}

void ThumbnailStrip::setCellSelected(int index, bool selected) {
    if (!valid(index))
        return;
    const int before = selected_;
    if (selected)
        selected_ = index;
    else if (selected_ == index)
        selected_ = -1;
    if (before != selected_) {
        updateCell(before);
        updateCell(selected_);
    }
}

bool ThumbnailStrip::cellVisible(int index) const {
    return valid(index) && cells_[std::size_t(index)].visible;
}

void ThumbnailStrip::setCellVisible(int index, bool visible) {
    if (!valid(index))
        return;
    cells_[std::size_t(index)].visible = visible;
    updateCell(index);
}

QRect ThumbnailStrip::cellRect(int index) const {
    if (!valid(index))
        return {};
    return ToRect(PlaceCell(index, cols_, cellSize_.width(), cellSize_.height()), cellSize_);
}

void ThumbnailStrip::setCell(int index, const QString& tag, const QString& caption,
                             const QPixmap& picture, const ThumbPlacement& placement, int side) {
    if (index < 0 || index > cellCount())
        return;
    if (index == cellCount())
        cells_.emplace_back();
    Cell& c = cells_[std::size_t(index)];
    c.tag = tag;
    c.caption = caption;
    c.picture = picture;
    c.placement = placement;
    c.side = side;
    c.visible = true;
    updateCell(index);
}

void ThumbnailStrip::unloadCells() {
    cells_.resize(1);
    cells_.shrink_to_fit();
    if (selected_ > 0)
        selected_ = -1;
    pressed_ = -1;
    update();
}

void ThumbnailStrip::setCellSize(QSize size) {
    cellSize_ = size;
    update();
}

void ThumbnailStrip::setColumns(int cols) {
    cols_ = std::max(0, cols);
    update();
}

void ThumbnailStrip::setStripGeometry(QPoint pos, QSize size) {
    slidePos_ = pos;
    slideSize_ = size;
    update();
}

void ThumbnailStrip::setStripTop(int top) {
    if (slidePos_.y() == top)
        return;
    slidePos_.setY(top);
    update();
}

void ThumbnailStrip::setStripVisible(bool visible) {
    slideVisible_ = visible;
    update();
}

void ThumbnailStrip::setStripBackColor(const QColor& colour) {
    slideBack_ = colour;
    update();
}

int ThumbnailStrip::cellAt(QPoint viewportPos) const {
    if (!slideVisible_ || cellSize_.width() <= 0 || cellSize_.height() <= 0)
        return -1;
    const QPoint p = viewportPos - slidePos_;
    if (p.x() < 0 || p.y() < 0 || p.x() >= slideSize_.width() || p.y() >= slideSize_.height())
        return -1;
    if (cols_ <= 0) { // never laid out: every cell at (0, 0), the last one on top
        if (p.x() >= cellSize_.width() || p.y() >= cellSize_.height())
            return -1;
        for (int i = cellCount() - 1; i >= 0; --i)
            if (cells_[std::size_t(i)].visible)
                return i;
        return -1;
    }
    const int col = p.x() / cellSize_.width();
    if (col >= cols_)
        return -1;
    const long long index = static_cast<long long>(p.y() / cellSize_.height()) * cols_ + col;
    if (index >= cellCount() || !cells_[std::size_t(index)].visible)
        return -1;
    return static_cast<int>(index);
}

void ThumbnailStrip::releasePress() {
    updateCell(std::exchange(pressed_, -1));
}

void ThumbnailStrip::updateCell(int index) {
    if (!valid(index) || !slideVisible_)
        return;
    update(cellRect(index).translated(slidePos_));
}

void ThumbnailStrip::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.fillRect(e->rect(), palette().color(QPalette::Window));
    if (!slideVisible_)
        return;
    const QRect slide(slidePos_, slideSize_);
    p.fillRect(slide.intersected(e->rect()), slideBack_);
    p.setClipRect(slide.intersected(e->rect()));
    if (cols_ <= 0) {
        const int top = cellAt(slidePos_);
        if (top >= 0)
            paintCell(p, top, QRect(slidePos_, cellSize_));
        return;
    }
    // Only the rows in view are painted.
    const QRect band = e->rect().translated(-slidePos_);
    const CellRange range =
        CellsInBand(band.top(), band.height(), cols_, cellSize_.height(), cellCount());
    for (int i = range.first; i < range.last; ++i) {
        if (!cells_[std::size_t(i)].visible)
            continue;
        const QRect at = cellRect(i).translated(slidePos_);
        if (at.intersects(e->rect()))
            paintCell(p, i, at);
    }
}

void ThumbnailStrip::paintCell(QPainter& p, int index, const QRect& at) {
    const Cell& c = cells_[std::size_t(index)];
    p.save();
    p.setClipRect(at, Qt::IntersectClip);

    // A graphical option button: raised, or pressed in while selected.
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.rect = at;
    opt.state &= ~QStyle::State_HasFocus;
    if (selected_ == index || pressed_ == index)
        opt.state |= QStyle::State_On | QStyle::State_Sunken;
    else
        opt.state |= QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);

    // Picture box centred, caption under it.
    const QFontMetrics fm(font());
    const int side = c.side;
    const int block = side + (side > 0 ? kCaptionGap : 0) + fm.height();
    const int top = at.top() + std::max(0, (at.height() - block) / 2);
    if (side > 0) {
        const int left = at.left() + (at.width() - side) / 2;
        const ThumbPlacement& pl = c.placement;
        p.fillRect(left, top, side, side, QColor(pictureBack_));
        if (!c.picture.isNull())
            p.drawPixmap(left + pl.x, top + pl.y, c.picture);
        const QColor black(Qt::black);
        p.fillRect(left + pl.x - 1, top + pl.y - 1, pl.w + 2, 1, black);
        p.fillRect(left + pl.x - 1, top + pl.y + pl.h, pl.w + 2, 1, black);
        p.fillRect(left + pl.x - 1, top + pl.y - 1, 1, pl.h + 2, black);
        p.fillRect(left + pl.x + pl.w, top + pl.y - 1, 1, pl.h + 2, black);
    }
    p.setPen(palette().color(QPalette::ButtonText));
    const QRect caption(at.left(), top + block - fm.height(), at.width(), fm.height());
    p.drawText(caption, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, c.caption);
    p.restore();
}

void ThumbnailStrip::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(e);
    pressed_ = cellAt(e->position().toPoint());
    updateCell(pressed_);
}

void ThumbnailStrip::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(e);
    const int was = pressed_;
    pressed_ = -1;
    updateCell(was);
    if (was < 0 || cellAt(e->position().toPoint()) != was)
        return;
    setCellSelected(was, true);
    emit cellClicked(was);
}

void ThumbnailStrip::mouseMoveEvent(QMouseEvent* e) {
    const int i = cellAt(e->position().toPoint());
    if (i >= 0)
        emit cellHovered(i);
    QWidget::mouseMoveEvent(e);
}

void ThumbnailStrip::wheelEvent(QWheelEvent* e) {
    if (vsbSlide_->isEnabled())
        QCoreApplication::sendEvent(vsbSlide_, e);
    else
        QWidget::wheelEvent(e);
}

} // namespace fotello
