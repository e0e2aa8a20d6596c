#include "controls/file_list_box.h"

#include <QDir>
#include <QFile>
#include <QMouseEvent>

#include "shell/folder_listing.h"

namespace fotello {

FileListBox::FileListBox(const QString& name, QWidget* parent) : QListWidget(parent) {
    setObjectName(name);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMouseTracking(true);
    connect(this, &QListWidget::itemClicked, this, [this] { emit Click(); });
}

static QString normalised(const QString& folder) {
    QString p = QDir::cleanPath(folder);
    if (p.isEmpty())
        return p;
    return p;
}

bool FileListBox::list(const QString& folder) {
    const auto listing = ListMatchingFiles(QFile::encodeName(folder).toStdString(),
                                           SplitPatterns(pattern_.toStdString()));
    if (!listing.ok)
        return false;
    clear();
    for (const auto& n : listing.names) {
        auto* item = new QListWidgetItem(QFile::decodeName(QByteArray::fromStdString(n)));
        // The raw name, for names that are not valid UTF-8.
        item->setData(Qt::UserRole, QByteArray::fromStdString(n));
        addItem(item);
    }
    return true;
}

bool FileListBox::setPathQuietly(const QString& folder) {
    const QString p = normalised(folder);
    if (!list(p))
        return false;
    path_ = p;
    return true;
}

bool FileListBox::setPath(const QString& folder) {
    const QString p = normalised(folder);
    if (p == path_) {
        return true;
    }
    if (!setPathQuietly(p))
        return false;
    emit PathChange();
    return true;
}

void FileListBox::refresh() {
    if (!path_.isEmpty())
        list(path_);
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern;
    refresh();
}

QString FileListBox::entry(int i) const {
    const QListWidgetItem* it = item(i);
    return it ? it->text() : QString();
}

QString FileListBox::selectedName() const {
    const QListWidgetItem* it = currentItem();
    return it ? it->text() : QString();
}

QByteArray FileListBox::localPath(const QString& name) const {
    QByteArray raw = QFile::encodeName(name);
    for (int i = 0; i < count(); ++i) {
        if (item(i)->text() == name) {
            raw = item(i)->data(Qt::UserRole).toByteArray();
            break;
        }
    }
    QByteArray folder = QFile::encodeName(path_);
    if (!folder.endsWith('/'))
        folder += '/';
    return folder + raw;
}

void FileListBox::mouseMoveEvent(QMouseEvent* e) {
    QListWidget::mouseMoveEvent(e);
    emit MouseMove();
}

} // namespace fotello
