// The window finder: while the finder icon is dragged, frame the window under
// the mouse and, at the release, keep its handle as TargetHandle.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace finder {

struct FinderState {
  HWND FramedWindow = nullptr;       // the window whose frame is on the screen now
  bool FinderBusy = false;           // a FinderTick is running
  int HintOffset = 0;                // 15 in super mode: the drag-icon window moves off the pointer
  std::vector<HWND> FramedThisDrag;  // painted anew at the drop, to clear any trace of a frame
};
extern FinderState Finder;

// Tick of 时钟1: keeps the drag-icon window at the mouse.
void FollowCursorTick();
// Tick of 时钟2: examines the window under the mouse and notices the release.
void FinderTick();

// The input hook's WM_LBUTTONUP handler in super mode: the window the release
// happened over becomes TargetHandle.
void CALLBACK OnTargetButtonReleased(std::int32_t window, std::int32_t x, std::int32_t y);

// Inverts a 5-pixel frame round the window; a second call on the unchanged
// window puts the pixels back. Nothing happens for a window that is gone.
void ToggleFrame(HWND window);
void SetLayeredStyle(HWND window, BYTE alpha, COLORREF key, bool clickThrough);
std::string ReadWindowTitle(HWND window);  // GBK; empty without a title
// The client area's top-left corner on the screen; of the foreground window for null.
POINT ClientOrigin(HWND window);
bool IsKeyDown(int virtualKey);
// Undoes any number of ShowCursor(FALSE) calls.
void ShowCursorAgain();

}  // namespace finder
