// What other windows and plug-ins may ask of the main window, beside the
// preview's share (main_window_preview.cpp) and the strip's (main_window_thumbs.cpp).

#include <QLabel>

#include "controls/file_list_box.h"
#include "shell/main_window.h"
#include "shell/messages.h"

namespace fotello {

QString FrmFotello::currentFolder() const {
    const QString folder = File1->path();
    return folder.isEmpty() || folder.endsWith('/') ? folder : folder + '/';
}

void FrmFotello::setStatus(const QString& text) {
    lblstatus->setText(text);
}

void FrmFotello::showMessage(const QString& text) {
    ShowMessage(this, text);
}

QObject* FrmFotello::control(const QString& name) const {
    if (name.isEmpty())
        return nullptr;
    if (name == objectName())
        return const_cast<FrmFotello*>(this);
    return findChild<QObject*>(name);
}

} // namespace fotello
