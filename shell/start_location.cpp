// Opening a folder or a picture handed over from the desktop (a drop).

#include <sys/stat.h>

#include "controls/file_list_box.h"
#include "shell/main_window.h"

namespace fotello {

void FrmFotello::openStartLocation(const QByteArray& localPath) {
    struct stat st {};
    if (!localPath.startsWith('/') || ::stat(localPath.constData(), &st) != 0)
        return;
    const bool folder = S_ISDIR(st.st_mode);
    if (!folder && !S_ISREG(st.st_mode))
        return;
    const qsizetype cut = localPath.lastIndexOf('/');
    const QByteArray dir = folder ? localPath : (cut > 0 ? localPath.left(cut) : "/");
    if (!File1->setLocalPath(dir))
        return;
    if (folder)
        return;
    const QByteArray name = localPath.mid(cut + 1);
    for (int row = 0; row < File1->listCount(); ++row) {
        const QByteArray listed = File1->localPath(File1->entry(row));
        if (listed.mid(listed.lastIndexOf('/') + 1) == name) {
            File1->setCurrentRow(row);
            selectPicture(true, File1->entry(row));
            return;
        }
    }
}

} // namespace fotello
