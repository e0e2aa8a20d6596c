#include "files/trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include "files/safe_write.h"
#include "platform/log.h"

namespace fotello {

namespace {

// The home trash, made as the freedesktop Trash rules ask (owner only). Qt 6.4
// does not make a missing data folder and then trashes into "files" and
// "info" of the working folder.
bool MakeHomeTrash() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data))
        return false;
    const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QDir dir(data);
    if (!dir.exists("Trash"))
        dir.mkdir("Trash", owner);
    for (const char* sub : {"Trash/files", "Trash/info"})
        if (!dir.exists(sub))
            dir.mkdir(sub, owner);
    return QFileInfo(dir.filePath("Trash/files")).isDir() &&
           QFileInfo(dir.filePath("Trash/info")).isDir();
}

} // namespace

bool MoveToTrash(const QString& path) {
    if (!MakeHomeTrash() && QStorageInfo(path) == QStorageInfo(QDir::home())) {
        qCWarning(lcFiles) << "no trash folder can be made for" << path;
        return false;
    }
    const QDir work = QDir::current();
    const bool hadFiles = work.exists("files"), hadInfo = work.exists("info");
    QString inTrash;
    if (!QFile::moveToTrash(path, &inTrash))
        return false;
    if (QDir::isAbsolutePath(inTrash))
        return true;
    // Trashed into the working folder: put it back where it was.
    const QString stray = QDir::current().absoluteFilePath(inTrash);
    qCWarning(lcFiles) << "no usable trash; the file went to" << stray << "and is put back";
    if (RenameNoReplacing(QFile::encodeName(stray).constData(),
                          QFile::encodeName(path).constData()) != 0) {
        qCWarning(lcFiles) << "could not put back" << stray;
        return false;
    }
    QFile::remove(work.absoluteFilePath("info/" + QFileInfo(inTrash).fileName() + ".trashinfo"));
    if (!hadFiles)
        work.rmdir("files");
    if (!hadInfo)
        work.rmdir("info");
    return false;
}

} // namespace fotello
