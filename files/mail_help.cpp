// Mail, help and the maker's web page: handed to the desktop, never waited for.

#include <QAction>
#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include "shell/main_window.h"

namespace fotello {

void FrmFotello::ctbmail_Click() {
    lblstatus->clear();
    // A new message in the user's mail client with the picture attached; no
    // mail client, no message, and nothing said.
    const QString path = currentPicture().path;
    if (!path.isEmpty())
        QProcess::startDetached("xdg-email", {"--attach", path});
}

void FrmFotello::ctbajuda_Click() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile));
    lblstatus->clear();
}

void FrmFotello::ClarkTBButton2_Click() {
    // The web button's hint is the maker's address.
    QDesktopServices::openUrl(QUrl(action(Command::WebPage)->statusTip()));
}

} // namespace fotello
