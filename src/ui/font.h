// The font of every unit.
#pragma once

#include <windows.h>

namespace ui {

// SimSun 9 pt where the system has it, else a font that covers Chinese, else
// the default GUI font.
HFONT UnitFont();

}  // namespace ui
