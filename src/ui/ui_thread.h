// Work that another thread hands to the user-interface thread.
#pragma once

namespace ui {

// Makes the way in; call it on the user-interface thread before another
// thread may hand it work. False when it cannot be made.
bool PrepareUiThread();

// From any thread: the user-interface thread runs `work` from its message
// loop, guarded. False when the way in was not made.
bool RunOnUiThread(void (*work)());

}  // namespace ui
