#pragma once
// The thumbnail strip's viewport (picFrame) with its scroll bar (vsbSlide).

#include <QWidget>

class QScrollBar;

namespace fotello {

class ThumbnailStrip : public QWidget {
    Q_OBJECT
public:
    explicit ThumbnailStrip(const QString& name, QWidget* parent = nullptr);
    QScrollBar* vsbSlide() const { return vsbSlide_; }

private:
    QScrollBar* vsbSlide_;
};

} // namespace fotello
