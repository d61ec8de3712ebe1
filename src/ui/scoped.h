// Owners of what Win32 hands out to be given back: released however the scope ends.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace ui {

struct DeleteGdiObject {
  void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
// A pen, brush, bitmap or region: Gdi<HPEN> pen(CreatePen(...)).
template <class H>
using Gdi = std::unique_ptr<std::remove_pointer_t<H>, DeleteGdiObject>;

struct DeleteMemoryDc {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<HDC__, DeleteMemoryDc>;

struct CloseKernelHandle {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
// An event, timer, thread, process or file; none is null.
using Handle = std::unique_ptr<void, CloseKernelHandle>;
// A file opens as INVALID_HANDLE_VALUE where the others give null.
inline Handle OwnFile(HANDLE file) {
  return Handle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// The DC of a window, or of the screen for null.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDc() { ReleaseDC(hwnd_, dc_); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  operator HDC() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// An object selected into a DC for the scope; what was there before comes back.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, old_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace ui
