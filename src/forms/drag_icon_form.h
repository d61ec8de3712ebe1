// The drag-icon window that follows the mouse while the finder is dragged.
#pragma once

#include "forms/unit_accessor.h"
#include "ui/canvas.h"
#include "ui/window.h"

namespace forms {

// The drag-icon window while it is open, else nullptr.
ui::Window* DragIcon();
// Opens the drag-icon window, owned by the main window and bound as it is.
void OpenDragIcon();

namespace drag_icon {

// The open drag-icon window; throws WindowGone without it.
ui::Window& Window();

#define LYRIMARK_DRAG_ICON_UNITS(X) X(ui::Canvas, 画板1)
LYRIMARK_DRAG_ICON_UNITS(LYRIMARK_UNIT_ACCESSOR)

}  // namespace drag_icon
}  // namespace forms
