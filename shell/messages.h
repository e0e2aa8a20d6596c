#pragma once
// Message boxes of the main window. They are window-modal and return at
// once (no nested event loop); tests find them by objectName "mensagem".

#include <QMessageBox>

namespace fotello {

// A plain box: OK only, the program's title, no icon unless given.
QMessageBox* ShowMessage(QWidget* parent, const QString& text,
                         QMessageBox::Icon icon = QMessageBox::NoIcon,
                         const QString& title = QStringLiteral("Fotello"));

} // namespace fotello
