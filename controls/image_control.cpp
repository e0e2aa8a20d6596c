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

QSize ImageControl::deviceSize() const {
    return (QSizeF(size()) * devicePixelRatioF()).toSize();
}

void ImageControl::paintEvent(QPaintEvent* e) {
    if (picture_.isNull())
        return;
    QPainter p(this);
    const QRect exposed = e->rect();
    // Drawn in the screen's own pixels: on a high-density screen a picture
    // shown smaller than it is stays sharp.
    const qreal ratio = devicePixelRatioF();
    const QSize device = deviceSize();
    auto inDevicePixels = [ratio](const QRect& r) {
        return QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio);
    };
    if (device == picture_.size()) {
        p.drawImage(QRectF(exposed), picture_, inDevicePixels(exposed));
        return;
    }
    // A small picture shrunk is kept smoothly scaled: it repaints at once and
    // costs less than the picture. Otherwise (a zoomed or a large picture) only
    // the exposed part is drawn from the picture: no scaled copy of the whole,
    // and no step waits for one.
    const qint64 area = qint64(picture_.width()) * picture_.height();
    if (device.width() <= picture_.width() && device.height() <= picture_.height() &&
        area <= kMaxScaledArea) {
        if (scaled_.size() != device)
            scaled_ = picture_.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        p.drawImage(QRectF(exposed), scaled_, inDevicePixels(exposed));
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
    const QSize device = deviceSize();
    if (stretch_ && isReduced() &&
        (device.width() > picture_.width() || device.height() > picture_.height()))
        emit detailWanted();
}

} // namespace fotello
