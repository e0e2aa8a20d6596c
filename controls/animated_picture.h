#pragma once
// The animated-picture control: plays a GIF. Play() alone shows a newly
// named file; Prepare() loads it ahead of time.

#include <memory>

#include <QWidget>

class QBuffer;
class QMovie;

namespace fotello {

class AnimatedPicture : public QWidget {
    Q_OBJECT
public:
    explicit AnimatedPicture(const QString& name, QWidget* parent = nullptr);
    ~AnimatedPicture() override;

    // localPath: the name as the file system spells it, for names that are not
    // valid UTF-8 (defaults to the encoded path). checkedBytes: the file's
    // bytes, already read and checked off the UI thread; Prepare() then plays
    // them instead of reading the file.
    void setFileName(const QString& path, const QByteArray& localPath = {},
                     const QByteArray& checkedBytes = {}) {
        fileName_ = path;
        localName_ = localPath;
        checkedBytes_ = checkedBytes;
    }
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
    QByteArray localName_;
    QByteArray checkedBytes_;
    QString preparedName_;
    // The movie decodes from checked bytes in memory: never from the path,
    // which could name a FIFO or a bomb by the time it is opened.
    QByteArray bytes_;
    std::unique_ptr<QBuffer> buffer_;
    std::unique_ptr<QMovie> movie_;
};

} // namespace fotello
