#include "controls/animated_picture.h"

#include <QMouseEvent>
#include <QMovie>
#include <QPainter>

namespace fotello {

AnimatedPicture::AnimatedPicture(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setMouseTracking(true);
}

AnimatedPicture::~AnimatedPicture() = default;

void AnimatedPicture::Prepare() {
    if (movie_)
        movie_->stop();
    movie_ = std::make_unique<QMovie>(fileName_);
    movie_->setCacheMode(QMovie::CacheNone);
    connect(movie_.get(), &QMovie::frameChanged, this, [this] { update(); });
    preparedName_ = fileName_;
    movie_->jumpToFrame(0);
    update();
}

void AnimatedPicture::Play() {
    if (!movie_ || preparedName_ != fileName_)
        Prepare();
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
