#pragma once
// A picture box with persistent drawing: what is drawn on it (lines, text,
// pictures) stays until it is cleared, and survives repaints.

#include <QImage>
#include <QWidget>

namespace fotello {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(const QString& name, QWidget* parent = nullptr);

    void setBackColor(const QColor& c);
    QColor backColor() const { return back_; }

    // Inner drawing size in pixels.
    int scaleWidth() const { return contentsRect().width(); }
    int scaleHeight() const { return contentsRect().height(); }

    // Clears the drawing to the background colour.
    void cls();
    void line(QPoint from, QPoint to, const QColor& colour);
    void drawImage(QPoint at, const QImage& image);
    // Text with its top-left corner at the point, in the box's font.
    void print(QPoint at, const QString& text, const QColor& colour);
    int textHeight(const QString& text) const;
    // The drawing as it stands (what a saved picture of the box would hold).
    const QImage& drawing() const { return canvas_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void ensureCanvas();

    QColor back_;
    QImage canvas_;
};

} // namespace fotello
