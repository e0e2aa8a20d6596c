#pragma once
// Pictures dragged out to other programs (file managers, mail composers) as
// a list of file URIs, and folders or pictures dropped on the window.

#include <functional>
#include <optional>

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QUrl>

class QMimeData;
class QWidget;

namespace fotello {

// A file URL that keeps the path's bytes, UTF-8 or not.
QUrl LocalFileUrl(const QByteArray& localPath);
// The path of a file URL as the file system spells it; empty for other URLs.
QByteArray LocalPathOf(const QUrl& url);

// The payload of a drag of these files: text/uri-list.
QMimeData* FileDragData(const QList<QByteArray>& localPaths);
class MainWindowHost;
// What dragging a thumbnail cell (by index) or the preview's picture carries;
// null when there is nothing to drag. The caller owns it.
QMimeData* ThumbnailDragData(MainWindowHost& host, int cell);
QMimeData* PreviewDragData(MainWindowHost& host);

// The first local file or folder a drop carries.
std::optional<QByteArray> DroppedLocalPath(const QMimeData* data);

// Watches a widget for the gesture that starts a drag: the left button held
// and the pointer moved far enough. The drag itself starts after the event
// that began it has been handled; `paths` says what is dragged (nothing: no
// drag).
class DragStarter : public QObject {
public:
    DragStarter(QWidget* source, std::function<QList<QByteArray>(QPoint)> paths);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void run(QList<QByteArray> paths);

    QWidget* source_;
    std::function<QList<QByteArray>(QPoint)> paths_;
    std::optional<QPoint> pressedAt_;
};

} // namespace fotello
