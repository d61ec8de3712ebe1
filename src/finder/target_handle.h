// TargetHandle, the window the captions go to: the finder owns it and writes
// it; every delivery reads it anew, so a new pick redirects the next caption.
// The hidden edit box 编辑框_窗口句柄 keeps it as the handle in decimal.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

namespace finder {

// The picked window; nothing while none is picked (the hidden box is empty).
std::optional<HWND> TargetHandle();

// Records `window` as the pick; nothing forgets the pick.
void SetTargetHandle(std::optional<HWND> window);

// The window a handle text names: read as a number with any fraction dropped;
// empty or non-numeric text names none.
HWND ReadTargetHandle(std::string_view text);

}  // namespace finder
