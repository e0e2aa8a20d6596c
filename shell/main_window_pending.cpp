// Routines whose work arrives with later features: the screen magnifier and
// plug-ins.

#include "shell/main_window.h"

namespace fotello {

void FrmFotello::Timer2_Timer() {}
void FrmFotello::DiscoverPlugins() {}

} // namespace fotello
