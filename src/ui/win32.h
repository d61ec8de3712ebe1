// Small Win32 helpers that several parts of the program need.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace ui {

// A window's text (GBK), and as the window holds it (UTF-16).
std::string WindowText(HWND hwnd);
std::wstring WideWindowText(HWND hwnd);

// The current directory, and the directory of the program file, without a
// trailing backslash (UTF-16: a path may hold what GBK lacks).
std::wstring CurrentDirectory();
std::wstring ModuleDirectory();
// The program file itself.
std::wstring ModulePath();

// Registers a window class of this module with the arrow cursor; registering
// it again changes nothing. Returns `name`.
const wchar_t* RegisterWindowClass(const wchar_t* name, WNDPROC proc, HICON icon = nullptr);

// A window handle as a number and back: handles are 32-bit values on every
// Windows, which 64-bit Windows sign-extends, so the number names the same
// window for either build. As decimal text, it is what the finder shows.
inline std::int32_t HandleValue(HWND window) {
  return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window));
}
inline HWND HandleWindow(std::int32_t value) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(value));
}
inline std::string HandleText(HWND window) {
  return std::to_string(HandleValue(window));
}

}  // namespace ui
