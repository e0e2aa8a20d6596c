// The main window's full-screen button.

#include <QAction>

#include "shell/main_window.h"
#include "view/full_screen.h"

namespace fotello {

void FrmFotello::ctbTela_Click() {
    FrmTelaCheia::Open(*this);
    lblstatus->setText(QString());
    lbltamanho->setText(QString());
    // ctbClips is on whenever this command is: both need the picture on show.
}

} // namespace fotello
