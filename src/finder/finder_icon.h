// The finder icon on 画板_捕获器: a circle with a cross-hair and a small target.
#pragma once

#include "ui/canvas.h"

namespace finder {

// Draws the icon figure at the canvas's top-left corner.
void DrawFinderIcon(const ui::Canvas& canvas);

// Redraws 画板_捕获器 from scratch with the full icon.
void ResetCaptureCanvas();

// The left-button press on 画板_捕获器: the icon is picked up (only the
// cross-hair stays) and the drag-icon window opens.
void BeginCaptureDrag();

}  // namespace finder
