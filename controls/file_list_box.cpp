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
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemClicked, this, [this] { emit Click(); });
}

// Without a trailing "/", but "/" for the root.
static QByteArray normalised(QByteArray folder) {
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    return folder;
}

bool FileListBox::list(const QByteArray& folder) {
    const auto listing =
        ListMatchingFiles(folder.toStdString(), SplitPatterns(pattern_.toStdString()));
    if (!listing.ok)
        return false;
    QStringList names;
    names.reserve(static_cast<qsizetype>(listing.names.size()));
    rawNames_.clear();
    for (const auto& n : listing.names) {
        const QByteArray raw = QByteArray::fromStdString(n);
        const QString name = QFile::decodeName(raw);
        // Names that are not valid UTF-8 do not survive the trip through QString.
        if (QFile::encodeName(name) != raw)
            rawNames_.insert(name, raw);
        names << name;
    }
    // One insertion for the whole folder: item by item costs seconds on big ones.
    clear();
    addItems(names);
    return true;
}

bool FileListBox::setLocalPath(const QByteArray& folder, bool quietly) {
    const QByteArray p = normalised(folder);
    if (!quietly && !localFolder_.isEmpty() && p == localFolder_)
        return true;
    if (!list(p))
        return false;
    localFolder_ = p;
    path_ = QFile::decodeName(p);
    // Another folder is read from its first name, wherever the last one was scrolled to.
    scrollToTop();
    if (!quietly)
        emit PathChange();
    return true;
}

bool FileListBox::setPathQuietly(const QString& folder) {
    return setLocalPath(QFile::encodeName(QDir::cleanPath(folder)), true);
}

bool FileListBox::setPath(const QString& folder) {
    return setLocalPath(QFile::encodeName(QDir::cleanPath(folder)));
}

void FileListBox::refresh() {
    if (!localFolder_.isEmpty())
        list(localFolder_);
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
    const QByteArray raw = rawNames_.value(name, QFile::encodeName(name));
    QByteArray folder = localFolder_;
    if (!folder.endsWith('/'))
        folder += '/';
    return folder + raw;
}

void FileListBox::keyPressEvent(QKeyEvent* e) {
    // A selection moved by the keys is a click, as in every list box.
    const int before = currentRow();
    QListWidget::keyPressEvent(e);
    if (currentRow() != before && currentRow() >= 0)
        emit Click();
}

void FileListBox::mouseMoveEvent(QMouseEvent* e) {
    QListWidget::mouseMoveEvent(e);
    emit MouseMove();
}

} // namespace fotello
