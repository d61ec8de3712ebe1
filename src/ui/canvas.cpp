#include "ui/canvas.h"

#include <new>
#include <optional>

#include "ui/font.h"
#include "ui/scoped.h"
#include "ui/wide.h"
#include "ui/win32.h"

namespace ui {

namespace {

// The picture lives in a memory bitmap of the client's size; painting copies it.
struct Picture {
  MemoryDc memory;
  Gdi<HBITMAP> bitmap;
  std::optional<Selected> shown;  // the bitmap in the memory DC
  HDC dc() const { return memory.get(); }
  int width = 0, height = 0;
  COLORREF background = RGB(255, 255, 255);
  COLORREF pen = RGB(0, 0, 0);
  COLORREF fill = RGB(255, 255, 255);
};

Picture* PictureOf(HWND hwnd) {
  return reinterpret_cast<Picture*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void FillBackground(Picture& p) {
  const Gdi<HBRUSH> brush(CreateSolidBrush(p.background));
  RECT all{0, 0, p.width, p.height};
  FillRect(p.dc(), &all, brush.get());
}

LRESULT CALLBACK CanvasProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Picture* p = PictureOf(hwnd);
  switch (msg) {
    case WM_CREATE: {
      // Nothing else here can fail by an exception: no guard needed, a
      // canvas without its picture just fails to be made.
      p = new (std::nothrow) Picture;
      if (!p) return -1;
      RECT rc;
      GetClientRect(hwnd, &rc);
      p->width = rc.right;
      p->height = rc.bottom;
      {
        const WindowDc screen(hwnd);
        p->memory.reset(CreateCompatibleDC(screen));
        p->bitmap.reset(CreateCompatibleBitmap(screen, p->width, p->height));
      }
      p->shown.emplace(p->dc(), p->bitmap.get());
      FillBackground(*p);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(p));
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (p) BitBlt(dc, 0, 0, p->width, p->height, p->dc(), 0, 0, SRCCOPY);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), kCanvasPressed),
                   reinterpret_cast<LPARAM>(hwnd));
      return 0;
    case WM_NCDESTROY:
      delete p;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Runs a drawing step on the picture and shows the result at the next paint.
template <class Draw>
void Paint(HWND hwnd, Draw draw) {
  if (Picture* p = PictureOf(hwnd)) {
    draw(*p);
    InvalidateRect(hwnd, nullptr, FALSE);
  }
}

}  // namespace

void RegisterCanvasClass() {
  RegisterWindowClass(kCanvasClass, CanvasProc);
}

COLORREF Canvas::Background() const {
  return PictureOf(hwnd_) ? PictureOf(hwnd_)->background : 0;
}
COLORREF Canvas::Fill() const {
  return PictureOf(hwnd_) ? PictureOf(hwnd_)->fill : 0;
}

void Canvas::SetBackground(COLORREF colour) const {
  Paint(hwnd_, [colour](Picture& p) {
    p.background = colour;
    FillBackground(p);
  });
}

void Canvas::SetPen(COLORREF colour) const {
  if (Picture* p = PictureOf(hwnd_)) p->pen = colour;
}

void Canvas::SetFill(COLORREF colour) const {
  if (Picture* p = PictureOf(hwnd_)) p->fill = colour;
}

void Canvas::Clear() const {
  Paint(hwnd_, FillBackground);
}

void Canvas::Line(int x1, int y1, int x2, int y2) const {
  Paint(hwnd_, [=](Picture& p) {
    const Gdi<HPEN> pen(CreatePen(PS_SOLID, 1, p.pen));
    const Selected drawing(p.dc(), pen.get());
    SetROP2(p.dc(), R2_COPYPEN);
    MoveToEx(p.dc(), x1, y1, nullptr);
    LineTo(p.dc(), x2, y2);
  });
}

void Canvas::Ellipse(int left, int top, int right, int bottom) const {
  Paint(hwnd_, [=](Picture& p) {
    const Gdi<HPEN> pen(CreatePen(PS_SOLID, 1, p.pen));
    const Gdi<HBRUSH> brush(CreateSolidBrush(p.fill));
    const Selected outline(p.dc(), pen.get());
    const Selected inside(p.dc(), brush.get());
    SetROP2(p.dc(), R2_COPYPEN);
    ::Ellipse(p.dc(), left, top, right, bottom);
  });
}

void Canvas::Point(int x, int y, COLORREF colour) const {
  Paint(hwnd_, [=](Picture& p) { SetPixel(p.dc(), x, y, colour); });
}

void Canvas::Text(std::string_view gbk) const {
  Paint(hwnd_, [gbk](Picture& p) {
    const std::wstring textW = Wide(gbk);
    const Selected font(p.dc(), UnitFont());
    SetBkMode(p.dc(), TRANSPARENT);
    SetTextColor(p.dc(), RGB(0, 0, 0));
    RECT box{0, 0, p.width, p.height};
    DrawTextW(p.dc(), textW.c_str(), static_cast<int>(textW.size()), &box, DT_WORDBREAK | DT_NOPREFIX);
  });
}

COLORREF Canvas::Pixel(int x, int y) const {
  return PictureOf(hwnd_) ? GetPixel(PictureOf(hwnd_)->dc(), x, y) : CLR_INVALID;
}

}  // namespace ui
