// Mouse and keyboard input from anywhere on the desktop, handed to the handler
// registered for its message. The finder needs it to learn of a button release
// over another program's window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

namespace finder {

// (window of the event, then for mouse messages the screen x and y, for keys
// the event's paramL and the virtual key). Handles travel as their 32-bit value.
using InputHandler = void(CALLBACK*)(std::int32_t window, std::int32_t first, std::int32_t second);

// The system-wide hook and its nine handler slots: WM_LBUTTONDBLCLK, WM_KEYDOWN,
// WM_KEYUP, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
// WM_MBUTTONDOWN, WM_MBUTTONUP. A pair of low-level hooks does the work: the
// journal-record hook is refused to ordinary programs since Vista, and where it
// is granted it may see only this program's own input.
//
// The hook procedures run on the thread that installed them while it retrieves
// messages, and each handler runs inside them, so it must return quickly.
// WM_LBUTTONDBLCLK is never reported as such: its handler runs after the press
// handler for a press less than 500 ms after the last release.
class HOOK类 {
 public:
  HOOK类() = default;
  HOOK类(const HOOK类&) = delete;
  HOOK类& operator=(const HOOK类&) = delete;
  // Removes the hook if it is still installed.
  ~HOOK类();

  // False if `message` has no slot or its slot already holds `handler`.
  // Installs the hook when none is installed; the outcome of that install is
  // not looked at (a failed one just never reports anything).
  bool SetInputHandler(InputHandler handler, UINT message);
  // Empties every slot and removes the hook. Always true.
  bool ClearInputHandlers();
  // Empties the slot of `message` and removes the hook once every slot is
  // empty. False if `message` has no slot.
  bool ClearInputHandlers(UINT message);

  bool Installed() const { return installed_; }

 private:
  bool installed_ = false;
};

// The program's one input hook: made at start-up, destroyed by the exit routine.
extern std::optional<HOOK类> InputHook;

}  // namespace finder
