#pragma once
// The scrolling picture host. Pictures are placed on its canvas by the
// window. ScrollMode 0 shows them where they were placed, without scroll
// bars; 4 lets the user scroll over the whole of what it holds.

#include <cstdint>

#include <QScrollArea>

namespace fotello {

class ScrollBox : public QScrollArea {
    Q_OBJECT
public:
    explicit ScrollBox(const QString& name, QWidget* parent = nullptr);

    // Colour as 0x00BBGGRR.
    void setBackColor(std::uint32_t bgr);
    std::uint32_t backColor() const { return back_; }

    void setScrollMode(int mode);
    int scrollMode() const { return mode_; }

    // Where the window places the pictures it hosts.
    QWidget* canvas() const { return canvas_; }

    // Recomputes the canvas after a hosted picture moved or changed size.
    void refit();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QWidget* canvas_;
    std::uint32_t back_ = 0;
    int mode_ = 0;
};

} // namespace fotello
