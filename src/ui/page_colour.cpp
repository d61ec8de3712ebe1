#include "ui/page_colour.h"

namespace ui {

HBRUSH PageColour::Brush(HWND tab, HBRUSH window) {
  // A themed tab control asks its parent for what lies behind it while it
  // paints, which brings us back here: that is the window's colour.
  if (brush_ || measuring_) return brush_ ? brush_.get() : window;
  // A themed tab control paints its pages lighter than the window (white
  // under Wine's theme, near white on Windows); units on a page take that
  // colour, read from the control's own picture of itself.
  measuring_ = true;
  RECT rc;
  GetClientRect(tab, &rc);
  COLORREF body = CLR_INVALID;
  {
    const WindowDc screen(tab);
    const MemoryDc dc(CreateCompatibleDC(screen));
    const Gdi<HBITMAP> bitmap(CreateCompatibleBitmap(screen, rc.right, rc.bottom));
    const Selected picture(dc.get(), bitmap.get());
    FillRect(dc.get(), &rc, window);
    SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    body = GetPixel(dc.get(), rc.right / 2, rc.bottom - 8);
  }
  brush_.reset(CreateSolidBrush(body == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : body));
  measuring_ = false;
  return brush_.get();
}

}  // namespace ui
