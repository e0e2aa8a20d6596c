// Routines whose work arrives with later features: plug-ins.

#include "shell/main_window.h"

namespace fotello {

void FrmFotello::DiscoverPlugins() {}

} // namespace fotello
