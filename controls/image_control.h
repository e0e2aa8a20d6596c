#pragma once
// An image control: shows a picture at its natural size, or stretched to the
// control's size when Stretch is on. The picture it holds may be a reduced
// copy (the preview decodes no more than it shows): its natural size is then
// kept beside it, and the control asks for detail when it grows past it.

#include <QImage>
#include <QWidget>

namespace fotello {

class ImageControl : public QWidget {
    Q_OBJECT
public:
    explicit ImageControl(const QString& name, QWidget* parent = nullptr);

    // natural: the picture's own size when `picture` is a reduced copy.
    void setPicture(const QImage& picture, QSize natural = {});
    const QImage& picture() const { return picture_; }
    QSize naturalSize() const { return natural_; }
    bool isReduced() const { return picture_.size() != natural_; }
    void clearPicture();

    // Off: the control takes the picture's natural size.
    void setStretch(bool on);
    bool stretch() const { return stretch_; }

signals:
    void pictureChanged();
    // Shown larger than the reduced copy it holds: the full picture would show more.
    void detailWanted();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QSize deviceSize() const; // the control's size in the screen's pixels

    QImage picture_;
    QSize natural_;
    bool stretch_ = false;
    // The shrunk picture for the current size, while small: big photos are
    // scaled once, not per paint.
    QImage scaled_;
    static constexpr qint64 kMaxScaledArea = qint64(4) << 20; // pixels
};

} // namespace fotello
