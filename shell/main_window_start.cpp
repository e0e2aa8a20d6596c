// Opening a folder or file handed over by the desktop: on the command line,
// from a later start, or dropped on the window.

#include <sys/stat.h>

#include <QFile>
#include <QListWidget>

#include "controls/file_list_box.h"
#include "shell/instance_server.h"
#include "shell/main_window.h"
#include "shell/messages.h"

namespace fotello {

namespace {

struct Location {
    QByteArray folder; // without a trailing "/" (but "/" itself)
    QByteArray file;   // the file's path, or empty for a folder
};

std::optional<Location> locationOf(const QByteArray& path) {
    struct stat st {};
    if (!path.startsWith('/') || ::stat(path.constData(), &st) != 0)
        return std::nullopt;
    if (S_ISDIR(st.st_mode))
        return Location{path, {}};
    if (!S_ISREG(st.st_mode))
        return std::nullopt;
    const qsizetype slash = path.lastIndexOf('/');
    return Location{slash == 0 ? QByteArray("/") : path.left(slash), path};
}

QByteArray withSlash(const QByteArray& folder) {
    return folder.endsWith('/') ? folder : folder + '/';
}

} // namespace

void FrmFotello::pointListAtStart() {
    // Before the strip's first build, so the working folder is never read.
    if (const auto at = locationOf(startLocation_))
        File1->setLocalPath(at->folder, true);
}

void FrmFotello::openStartLocation(const QByteArray& localPath) {
    // A slide show locks the list and the tree: its folder stays under it.
    if (!File1->isEnabled())
        return;
    const auto at = locationOf(localPath);
    if (!at || !File1->setLocalPath(at->folder)) {
        ShowMessage(this,
                    QString::fromUtf8("Não foi possível abrir ") + QFile::decodeName(localPath));
        return;
    }
    tView_Click();
    revealInTree(withSlash(at->folder));
    if (!at->file.isEmpty()) {
        for (int i = 0; i < File1->listCount(); ++i) {
            if (File1->localPath(File1->entry(i)) == at->file) {
                File1->setCurrentRow(i);
                File1->scrollToItem(File1->item(i));
                File1_Click();
                break;
            }
        }
    }
    qCDebug(lcInstance) << "opened" << localPath.toPercentEncoding("/");
}

void FrmFotello::openHandedLocation(const QByteArray& localPath) {
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    openStartLocation(localPath);
}

void FrmFotello::showFolderInTitle() {
    const QByteArray folder = File1->localFolder();
    const qsizetype slash = folder.lastIndexOf('/');
    const QByteArray name = folder.size() > 1 ? folder.mid(slash + 1) : folder;
    // Ending in the program's name, the platform adds it no second time.
    setWindowTitle(name.isEmpty() ? QStringLiteral("Fotello")
                                  : QFile::decodeName(name) + QString::fromUtf8(" — Fotello"));
}

} // namespace fotello
