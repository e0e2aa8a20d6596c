// Folder tree and drives.

#include <QTreeWidget>

#include "shell/main_window.h"

namespace fotello {

void FrmFotello::FillDrives() {}
void FrmFotello::tView_Expand(QTreeWidgetItem*) {}
void FrmFotello::tView_NodeClick(QTreeWidgetItem*) {}
void FrmFotello::tView_Click() {}

} // namespace fotello
