#pragma once
// A file list: the picture files of one folder, by pattern.

#include <QHash>
#include <QListWidget>

namespace fotello {

class FileListBox : public QListWidget {
    Q_OBJECT
    // Plug-ins read the folder by name, as any control's property.
    Q_PROPERTY(QString path READ path)
public:
    explicit FileListBox(const QString& name, QWidget* parent = nullptr);

    // The folder, without a trailing "/" (but "/" for the root).
    QString path() const { return path_; }
    // Lists the folder and raises PathChange when the folder differs from the
    // current one. False (and nothing changed) when the folder cannot be read.
    bool setPath(const QString& folder);
    // Points at a folder without raising PathChange (the list's starting folder).
    bool setPathQuietly(const QString& folder);
    // The same for a folder as the file system spells it (it need not be UTF-8).
    bool setLocalPath(const QByteArray& folder, bool quietly = false);
    QByteArray localFolder() const { return localFolder_; }
    // Lists the current folder again.
    void refresh();

    void setPattern(const QString& pattern);
    QString pattern() const { return pattern_; }

    int listCount() const { return count(); }
    QString entry(int i) const;
    // The name of the selected entry, or empty.
    QString selectedName() const;
    // A full path as the file system spells it (names need not be UTF-8).
    QByteArray localPath(const QString& name) const;

signals:
    void PathChange();
    void Click();
    void MouseMove();

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    bool list(const QByteArray& folder);

    QString path_;
    QByteArray localFolder_;
    QString pattern_ = "*.*";
    QHash<QString, QByteArray> rawNames_; // names the file system spells otherwise
};

} // namespace fotello
