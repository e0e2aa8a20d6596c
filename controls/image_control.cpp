#include "controls/image_control.h"

#include <QPainter>

namespace fotello {

ImageControl::ImageControl(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setAttribute(Qt::WA_TranslucentBackground); // icons show the host's background
    setMouseTracking(true);
}

void ImageControl::setPicture(const QImage& picture) {
    picture_ = picture;
    scaled_ = QImage();
    if (!stretch_)
        resize(picture_.size());
    update();
}

void ImageControl::clearPicture() {
    setPicture(QImage());
}

void ImageControl::setStretch(bool on) {
    stretch_ = on;
    if (!stretch_ && !picture_.isNull())
        resize(picture_.size());
    update();
}

void ImageControl::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QPainter p(this);
    if (stretch_ && size() != picture_.size()) {
        if (scaled_.size() != size())
            scaled_ = picture_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        p.drawImage(0, 0, scaled_);
    } else {
        p.drawImage(0, 0, picture_);
    }
}

} // namespace fotello
