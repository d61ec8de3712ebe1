// The window finder: while the finder icon is dragged, frame the window under
// the mouse and, at the release, keep its handle as TargetHandle.
#pragma once

#include <windows.h>

#include <string>

namespace finder {

// Tick of 时钟1: keeps the drag-icon window at the mouse.
void FollowCursorTick();
// Tick of 时钟2: examines the window under the mouse and notices the release.
void FinderTick();

std::string ReadWindowTitle(HWND window);  // GBK; empty without a title

}  // namespace finder
