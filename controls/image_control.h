#pragma once
// An image control: shows a picture at its natural size, or stretched to the
// control's size when Stretch is on.

#include <QImage>
#include <QWidget>

namespace fotello {

class ImageControl : public QWidget {
    Q_OBJECT
public:
    explicit ImageControl(const QString& name, QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    void clearPicture();

    // Off: the control takes the picture's natural size.
    void setStretch(bool on);
    bool stretch() const { return stretch_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage picture_;
    bool stretch_ = false;
    // The stretched picture for the current size: big photos are scaled once, not per paint.
    QImage scaled_;
};

} // namespace fotello
