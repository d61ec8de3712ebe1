// The finder icon on 画板_捕获器: a circle with a cross-hair and a small target.
#pragma once

#include <windows.h>

#include "ui/canvas.h"

namespace finder {

constexpr COLORREF kFinderPen = 0xFF8800;  // 0x00BBGGRR: red 0, green 136, blue 255

// Draws the icon figure with its top-left reference at (x0, y0).
void DrawFinderIcon(const ui::Canvas& canvas, COLORREF pen, int x0, int y0);

// Redraws 画板_捕获器 from scratch with the full icon.
void ResetCaptureCanvas();

// The left-button press on 画板_捕获器: the icon is picked up (only the
// cross-hair stays) and the drag-icon window opens.
void BeginCaptureDrag();

}  // namespace finder
