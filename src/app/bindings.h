// Which handler each event of the program's windows runs.
#pragma once

#include <span>

#include "ui/layout.h"

namespace app {

std::span<const ui::Binding> Bindings();

}  // namespace app
