// TargetHandle, the window the captions go to: the finder owns it and writes
// it; every delivery reads it anew, so a new pick redirects the next caption.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

namespace finder {

// The window a handle value names. Handles are 32-bit values that 64-bit
// Windows sign-extends, so the same text names the same window for either build.
inline HWND TargetWindow(std::int32_t handle) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
}

// The picked window; nothing while none is picked (the hidden box is empty).
std::optional<HWND> TargetHandle();

// Records `window` as the pick; nothing forgets the pick.
void SetTargetHandle(std::optional<HWND> window);

}  // namespace finder
