#include <QAction>

#include "print/frm_temp.h"
#include "shell/main_window.h"

namespace fotello {

void FrmFotello::wirePrinting() {
    connect(action("ctbimprime"), &QAction::triggered, this, &FrmFotello::ctbimprime_Click);
}

void FrmFotello::ctbimprime_Click() {
    const CurrentPicture picture = currentPicture();
    if (!picture.isValid())
        return;
    // One dialog: a second click hands it the picture now current.
    FrmTemp* window = findChild<FrmTemp*>("frmTemp", Qt::FindDirectChildrenOnly);
    if (!window)
        window = new FrmTemp(this);
    window->OpenPicture(picture.path, picture.local, picture.name);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace fotello
