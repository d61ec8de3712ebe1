// The drag-icon window that follows the mouse while the finder is dragged.
#pragma once

#include "forms/layouts.h"
#include "forms/main_form.h"
#include "forms/unit_accessor.h"
#include "ui/canvas.h"

namespace forms {

// The drag-icon window while it is open, else nullptr.
inline ui::Window* DragIcon() {
  return ui::Window::Find(kDragIconLayout.name);
}
// Opens the drag-icon window, owned by the main window and bound as it is.
inline void OpenDragIcon() {
  ui::Window& main = main::Window();
  ui::Window::Open(kDragIconLayout, main.bindings(), main.hwnd());
}

namespace drag_icon {

// The open drag-icon window; throws WindowGone without it.
inline ui::Window& Window() {
  return Existing(kDragIconLayout);
}

#define LYRIMARK_DRAG_ICON_UNITS(X) X(ui::Canvas, 画板1)
LYRIMARK_DRAG_ICON_UNITS(LYRIMARK_UNIT_ACCESSOR)

}  // namespace drag_icon
}  // namespace forms
