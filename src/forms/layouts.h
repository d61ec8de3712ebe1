// The program's three windows as data.
#pragma once

#include "ui/layout.h"

namespace forms {

extern const ui::WindowLayout kMainLayout;
extern const ui::WindowLayout kDragIconLayout;
extern const ui::WindowLayout kUpdateLayout;

}  // namespace forms
