// Owners of what Win32 hands out to be given back: released however the scope ends.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace ui {

template <auto Release>
struct Releaser {
  template <class H>
  void operator()(H h) const {
    Release(h);
  }
};
template <class H, auto Release>
using Owned = std::unique_ptr<std::remove_pointer_t<H>, Releaser<Release>>;

// A pen, brush, bitmap or region: Gdi<HPEN> pen(CreatePen(...)).
template <class H>
using Gdi = Owned<H, DeleteObject>;
using MemoryDc = Owned<HDC, DeleteDC>;
// An event, timer, thread, process or file; none is null.
using Handle = Owned<HANDLE, CloseHandle>;
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
