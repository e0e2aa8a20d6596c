#include <QAction>

#include "effects/effects_rules.h"
#include "effects/frm_efeitos.h"
#include "shell/main_window.h"

namespace fotello {

void FrmFotello::wireEffects() {
    connect(action("ctbEfeito"), &QAction::triggered, this, &FrmFotello::ctbEfeito_Click);
}

void FrmFotello::ctbEfeito_Click() {
    const CurrentPicture picture = currentPicture();
    if (!picture.isValid())
        return;
    const QString folder = QString::fromStdString(
        PictureFolder(picture.path.toStdString(), picture.name.toStdString()));
    lblstatus->clear();
    FrmEfeitos* window = nullptr;
    for (FrmEfeitos* f : findChildren<FrmEfeitos*>("frmEfeitos", Qt::FindDirectChildrenOnly)) {
        if (!f->closing())
            window = f;
    }
    if (!window)
        window = new FrmEfeitos(*this, this);
    window->OpenPicture(folder, picture);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace fotello
