#include "shell/messages.h"

namespace fotello {

QMessageBox* ShowMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                         const QString& title) {
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setObjectName("mensagem");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

} // namespace fotello
