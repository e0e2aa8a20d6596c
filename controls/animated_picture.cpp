#include "controls/animated_picture.h"

#include <utility>

#include <QBuffer>
#include <QFile>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>

#include "platform/picture_reader.h"

namespace fotello {

AnimatedPicture::AnimatedPicture(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setMouseTracking(true);
}

AnimatedPicture::~AnimatedPicture() = default;

void AnimatedPicture::Prepare() {
    movie_.reset();
    buffer_.reset();
    preparedName_ = fileName_;
    if (!checkedBytes_.isEmpty()) {
        bytes_ = std::exchange(checkedBytes_, {});
    } else {
        const auto checked = ReadCheckedPictureBytesLocal(
            localName_.isEmpty() ? QFile::encodeName(fileName_) : localName_);
        bytes_ = checked.bytes;
        if (checked.error != PictureError::None) {
            update();
            return;
        }
    }
    buffer_ = std::make_unique<QBuffer>(&bytes_);
    buffer_->open(QIODevice::ReadOnly);
    movie_ = std::make_unique<QMovie>(buffer_.get());
    movie_->setCacheMode(QMovie::CacheNone);
    connect(movie_.get(), &QMovie::frameChanged, this, [this] { update(); });
    movie_->jumpToFrame(0);
    update();
}

void AnimatedPicture::Play() {
    if (!movie_ || preparedName_ != fileName_)
        Prepare();
    if (!movie_)
        return;
    if (movie_->frameCount() > 1 || movie_->frameCount() == 0)
        movie_->start();
    update();
}

void AnimatedPicture::Stop() {
    if (movie_)
        movie_->stop();
}

bool AnimatedPicture::isPlaying() const {
    return movie_ && movie_->state() == QMovie::Running;
}

int AnimatedPicture::frameCount() const {
    return movie_ ? movie_->frameCount() : 0;
}

QImage AnimatedPicture::currentFrame() const {
    return movie_ ? movie_->currentImage() : QImage();
}

void AnimatedPicture::paintEvent(QPaintEvent*) {
    if (!movie_)
        return;
    const QImage frame = movie_->currentImage();
    if (frame.isNull())
        return;
    QPainter p(this);
    if (frame.size() != size())
        p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), frame);
}

void AnimatedPicture::mouseMoveEvent(QMouseEvent* e) {
    QWidget::mouseMoveEvent(e);
    emit MouseMove(e->position().toPoint());
}

} // namespace fotello
