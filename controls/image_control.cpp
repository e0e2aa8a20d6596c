#include "controls/image_control.h"

#include <QPaintEvent>
#include <QPainter>

namespace fotello {

ImageControl::ImageControl(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setAttribute(Qt::WA_TranslucentBackground); // icons show the host's background
    setMouseTracking(true);
}

void ImageControl::setPicture(const QImage& picture, QSize natural) {
    picture_ = picture;
    natural_ = natural.isValid() && !picture.isNull() ? natural : picture.size();
    scaled_ = QImage();
    if (!stretch_)
        resize(natural_);
    update();
    emit pictureChanged();
}

void ImageControl::clearPicture() {
    setPicture(QImage());
}

void ImageControl::setStretch(bool on) {
    stretch_ = on;
    if (!stretch_ && !picture_.isNull())
        resize(natural_);
    update();
}

void ImageControl::paintEvent(QPaintEvent* e) {
    if (picture_.isNull())
        return;
    QPainter p(this);
    const QRect exposed = e->rect();
    if (size() == picture_.size()) {
        p.drawImage(exposed, picture_, exposed);
        return;
    }
    // A small picture shrunk is kept smoothly scaled: it repaints at once and
    // costs less than the picture. Otherwise (a zoomed or a large picture) only
    // the exposed part is drawn from the picture: no scaled copy of the whole,
    // and no step waits for one.
    const qint64 area = qint64(picture_.width()) * picture_.height();
    if (width() <= picture_.width() && height() <= picture_.height() && area <= kMaxScaledArea) {
        if (scaled_.size() != size())
            scaled_ = picture_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        p.drawImage(exposed, scaled_, exposed);
        return;
    }
    scaled_ = QImage();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const double sx = double(picture_.width()) / width();
    const double sy = double(picture_.height()) / height();
    const QRectF source(exposed.x() * sx, exposed.y() * sy, exposed.width() * sx,
                        exposed.height() * sy);
    p.drawImage(QRectF(exposed), picture_, source);
}

void ImageControl::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (stretch_ && isReduced() && (width() > picture_.width() || height() > picture_.height()))
        emit detailWanted();
}

} // namespace fotello
