#include "shell/file_drag.h"

#include <sys/stat.h>

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include "controls/animated_picture.h"
#include "controls/file_list_box.h"
#include "controls/image_control.h"
#include "shell/folder_listing.h"
#include "shell/main_window.h"
#include "shell/thumbnail_strip.h"

namespace fotello {

QUrl LocalFileUrl(const QByteArray& localPath) {
    // Percent-encoded bytes: a name that is not UTF-8 keeps its bytes (a
    // QString of it would not).
    return QUrl::fromEncoded("file://" + localPath.toPercentEncoding("/"), QUrl::StrictMode);
}

QByteArray LocalPathOf(const QUrl& url) {
    if (!url.isLocalFile())
        return {};
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

QMimeData* FileDragData(const QList<QByteArray>& localPaths) {
    QList<QUrl> urls;
    for (const QByteArray& path : localPaths)
        urls << LocalFileUrl(path);
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

std::optional<QByteArray> DroppedLocalPath(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return std::nullopt;
    for (const QUrl& url : data->urls())
        if (const QByteArray path = LocalPathOf(url); path.startsWith('/'))
            return path;
    return std::nullopt;
}

DragStarter::DragStarter(QWidget* source, std::function<QList<QByteArray>(QPoint)> paths)
    : QObject(source), source_(source), paths_(std::move(paths)) {
    source->installEventFilter(this);
}

bool DragStarter::eventFilter(QObject*, QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress: {
        auto* m = static_cast<QMouseEvent*>(e);
        if (m->button() == Qt::LeftButton)
            pressedAt_ = m->position().toPoint();
        break;
    }
    case QEvent::MouseButtonRelease:
        pressedAt_.reset();
        break;
    case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(e);
        if (!pressedAt_ || !(m->buttons() & Qt::LeftButton) ||
            (m->position().toPoint() - *pressedAt_).manhattanLength() <
                QApplication::startDragDistance())
            break;
        QList<QByteArray> paths = paths_(*pressedAt_);
        pressedAt_.reset();
        if (paths.isEmpty())
            break;
        // Qt's drag runs its own loop until the drop: not inside this
        // widget's event, which may be gone by then.
        QTimer::singleShot(0, this, [this, paths] { run(paths); });
        return true;
    }
    default:
        break;
    }
    return false;
}

void DragStarter::run(QList<QByteArray> paths) {
    auto* drag = new QDrag(source_);
    drag->setMimeData(FileDragData(paths));
    drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
    // Nothing of this object is used after the drop: the window may have changed.
}

namespace {

// Drops on the window: a folder, or a picture of a kind the list shows.
class DropTarget : public QObject {
public:
    DropTarget(QWidget* window, std::function<bool(const QByteArray&)> opens,
               std::function<void(const QByteArray&)> open)
        : QObject(window), opens_(std::move(opens)), open_(std::move(open)) {
        window->setAcceptDrops(true);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        switch (e->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* d = static_cast<QDropEvent*>(e);
            const auto path = DroppedLocalPath(d->mimeData());
            if (path && opens_(*path))
                d->acceptProposedAction();
            else
                d->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* d = static_cast<QDropEvent*>(e);
            const auto path = DroppedLocalPath(d->mimeData());
            if (!path || !opens_(*path)) {
                d->ignore();
                return true;
            }
            d->acceptProposedAction();
            open_(*path);
            return true;
        }
        default:
            return false;
        }
    }

private:
    std::function<bool(const QByteArray&)> opens_;
    std::function<void(const QByteArray&)> open_;
};

} // namespace

QMimeData* ThumbnailDragData(MainWindowHost& host, int cell) {
    auto* strip = qobject_cast<ThumbnailStrip*>(host.control("picFrame"));
    auto* list = qobject_cast<FileListBox*>(host.control("File1"));
    if (!strip || !list || cell < 0 || cell >= strip->cellCount() || !strip->cellVisible(cell))
        return nullptr;
    return FileDragData({list->localPath(strip->cellTag(cell))});
}

QMimeData* PreviewDragData(MainWindowHost& host) {
    const CurrentPicture current = host.currentPicture();
    return current.local.isEmpty() ? nullptr : FileDragData({current.local});
}

void FrmFotello::wireDesktopDrags() {
    // A folder, or a file the list would show.
    auto opens = [this](const QByteArray& path) {
        struct stat st {};
        if (::stat(path.constData(), &st) != 0)
            return false;
        if (S_ISDIR(st.st_mode))
            return true;
        const std::string name = path.mid(path.lastIndexOf('/') + 1).toStdString();
        for (const std::string& pattern : SplitPatterns(File1->pattern().toStdString()))
            if (S_ISREG(st.st_mode) && MatchesPattern(name, pattern))
                return true;
        return false;
    };
    new DropTarget(this, opens, [this](const QByteArray& path) { openStartLocation(path); });
    auto paths = [](QMimeData* data) {
        QList<QByteArray> out;
        if (data)
            for (const QUrl& url : data->urls())
                out << LocalPathOf(url);
        delete data;
        return out;
    };
    new DragStarter(picFrame, [this, paths](QPoint at) {
        picFrame->releasePress();
        return paths(ThumbnailDragData(*this, picFrame->cellAt(at)));
    });
    for (QWidget* preview : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(mcGif)})
        new DragStarter(preview, [this, paths](QPoint) { return paths(PreviewDragData(*this)); });
}

} // namespace fotello
