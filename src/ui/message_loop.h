// The program's message loop, and work other threads hand to it.
#pragma once

#include <windows.h>

namespace ui {

// Runs until the quit message and returns its exit code; with `whileOpen`,
// until that window is gone (a modal window), leaving a quit to the outer loop.
int RunMessageLoop(HWND whileOpen = nullptr);

// Makes the way in for other threads; call it on the user-interface thread
// before another thread may hand it work. False when it cannot be made.
bool PrepareUiThread();

// From any thread: the user-interface thread runs `work` from its message
// loop, guarded. False when the way in was not made.
bool RunOnUiThread(void (*work)());

}  // namespace ui
