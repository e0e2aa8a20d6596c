// File list, selection and preview.

#include "shell/main_window.h"

namespace fotello {

void FrmFotello::File1_PathChange() {}
void FrmFotello::File1_Click() {}
void FrmFotello::optThumb_Click(int) {}
void FrmFotello::DisableFileCommands() {}
void FrmFotello::UpdateKindCommands() {}

} // namespace fotello
