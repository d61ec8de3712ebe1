// Each window's units as code reaches them: one accessor per unit, named once.
// A window's header lists its units as X(View, name); this makes of each entry
// a function name() that finds the unit in Window() of the same namespace.
// The layout tables place the units; one test resolves every accessor.
#pragma once

#include <stdexcept>
#include <string>

#include "ui/window.h"

namespace forms {

// A handler reached for a unit of a window that is gone. Handlers look again
// after every wait; one that did not fails here as an operation, at the
// toolkit's guard, instead of ending the program.
struct WindowGone : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The open window made from `layout`; throws WindowGone without it.
inline ui::Window& Existing(const ui::WindowLayout& layout) {
  ui::Window* w = ui::Window::Find(layout.name);
  if (!w) throw WindowGone(std::string(layout.name) + " window is gone");
  return *w;
}

}  // namespace forms

#define LYRIMARK_UNIT_ACCESSOR(View, name) \
  inline View name() {                     \
    return Window().Get<View>(#name);      \
  }
