#include "shell/thumbnail_strip.h"

#include <QScrollBar>

namespace fotello {

ThumbnailStrip::ThumbnailStrip(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    vsbSlide_ = new QScrollBar(Qt::Vertical, this);
    vsbSlide_->setObjectName("vsbSlide");
}

} // namespace fotello
