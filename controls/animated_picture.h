#pragma once
// The animated-picture control: plays a GIF. Play() alone shows a newly
// named file; Prepare() loads it ahead of time.

#include <memory>

#include <QWidget>

class QMovie;

namespace fotello {

class AnimatedPicture : public QWidget {
    Q_OBJECT
public:
    explicit AnimatedPicture(const QString& name, QWidget* parent = nullptr);
    ~AnimatedPicture() override;

    void setFileName(const QString& path) { fileName_ = path; }
    QString fileName() const { return fileName_; }

    // Opens the named file and shows its first frame.
    void Prepare();
    // Runs the animation of the named file (preparing it first when needed).
    void Play();
    void Stop();

    bool isPlaying() const;
    int frameCount() const;
    // The frame on show (for tests and the full-screen view).
    QImage currentFrame() const;

signals:
    void MouseMove(QPoint at);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    QString fileName_;
    QString preparedName_;
    std::unique_ptr<QMovie> movie_;
};

} // namespace fotello
