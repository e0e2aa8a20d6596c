// Routines whose work arrives with later features: the screen magnifier.

#include "shell/main_window.h"

namespace fotello {

void FrmFotello::Timer2_Timer() {}

} // namespace fotello
