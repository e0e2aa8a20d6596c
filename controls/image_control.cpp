#include "controls/image_control.h"

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

void ImageControl::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QPainter p(this);
    if (size() != picture_.size()) {
        if (scaled_.size() != size())
            scaled_ = picture_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        p.drawImage(0, 0, scaled_);
    } else {
        p.drawImage(0, 0, picture_);
    }
}

void ImageControl::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (stretch_ && isReduced() && (width() > picture_.width() || height() > picture_.height()))
        emit detailWanted();
}

} // namespace fotello
