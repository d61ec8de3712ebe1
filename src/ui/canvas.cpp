#include "ui/canvas.h"

#include <new>

#include "ui/wide.h"

namespace ui {

namespace {

constexpr wchar_t kCanvasClass[] = L"LyrimarkCanvas";

// The picture lives in a memory bitmap of the client's size; painting copies it.
struct Picture {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  int width = 0, height = 0;
  COLORREF background = RGB(255, 255, 255);
  COLORREF pen = RGB(0, 0, 0);
  COLORREF fill = RGB(255, 255, 255);
  POINT position{};
};

Picture* PictureOf(HWND hwnd) { return reinterpret_cast<Picture*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

void FillBackground(Picture& p) {
  HBRUSH brush = CreateSolidBrush(p.background);
  RECT all{0, 0, p.width, p.height};
  FillRect(p.dc, &all, brush);
  DeleteObject(brush);
}

LRESULT CALLBACK CanvasProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Picture* p = PictureOf(hwnd);
  switch (msg) {
    case WM_CREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
      // Nothing else here can fail by an exception: no guard needed, a
      // canvas without its picture just fails to be made.
      p = new (std::nothrow) Picture;
      if (!p) return -1;
      p->background = static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(cs->lpCreateParams));
      RECT rc;
      GetClientRect(hwnd, &rc);
      p->width = rc.right;
      p->height = rc.bottom;
      HDC screen = GetDC(hwnd);
      p->dc = CreateCompatibleDC(screen);
      p->bitmap = CreateCompatibleBitmap(screen, p->width, p->height);
      ReleaseDC(hwnd, screen);
      p->oldBitmap = SelectObject(p->dc, p->bitmap);
      FillBackground(*p);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(p));
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (p) BitBlt(dc, 0, 0, p->width, p->height, p->dc, 0, 0, SRCCOPY);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      SendMessageW(GetParent(hwnd), kCanvasPressed, reinterpret_cast<WPARAM>(hwnd), 0);
      return 0;
    case WM_NCDESTROY:
      if (p) {
        SelectObject(p->dc, p->oldBitmap);
        DeleteObject(p->bitmap);
        DeleteDC(p->dc);
        delete p;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      }
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

HWND CreateCanvas(HWND parent, UINT id, POINT origin, int width, int height, DWORD style, COLORREF background) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = CanvasProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kCanvasClass;
    RegisterClassExW(&wc);
    registered = true;
  }
  return CreateWindowExW(0, kCanvasClass, L"", style, origin.x, origin.y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                         reinterpret_cast<void*>(static_cast<UINT_PTR>(background)));
}

COLORREF Canvas::Background() const { return PictureOf(hwnd_) ? PictureOf(hwnd_)->background : 0; }
COLORREF Canvas::Pen() const { return PictureOf(hwnd_) ? PictureOf(hwnd_)->pen : 0; }
COLORREF Canvas::Fill() const { return PictureOf(hwnd_) ? PictureOf(hwnd_)->fill : 0; }

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
  Paint(hwnd_, [](Picture& p) {
    FillBackground(p);
    p.position = {0, 0};
  });
}

void Canvas::Line(int x1, int y1, int x2, int y2) const {
  Paint(hwnd_, [=](Picture& p) {
    HPEN pen = CreatePen(PS_SOLID, 1, p.pen);
    HGDIOBJ old = SelectObject(p.dc, pen);
    SetROP2(p.dc, R2_COPYPEN);
    MoveToEx(p.dc, x1, y1, nullptr);
    LineTo(p.dc, x2, y2);
    SelectObject(p.dc, old);
    DeleteObject(pen);
  });
}

void Canvas::Ellipse(int left, int top, int right, int bottom) const {
  Paint(hwnd_, [=](Picture& p) {
    HPEN pen = CreatePen(PS_SOLID, 1, p.pen);
    HBRUSH brush = CreateSolidBrush(p.fill);
    HGDIOBJ oldPen = SelectObject(p.dc, pen);
    HGDIOBJ oldBrush = SelectObject(p.dc, brush);
    SetROP2(p.dc, R2_COPYPEN);
    ::Ellipse(p.dc, left, top, right, bottom);
    SelectObject(p.dc, oldPen);
    SelectObject(p.dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
  });
}

void Canvas::Point(int x, int y, COLORREF colour) const {
  Paint(hwnd_, [=](Picture& p) { SetPixel(p.dc, x, y, colour); });
}

void Canvas::Text(std::string_view gbk) const {
  Paint(hwnd_, [gbk](Picture& p) {
    const std::wstring textW = Wide(gbk);
    HGDIOBJ oldFont = SelectObject(p.dc, UnitFont());
    SetBkMode(p.dc, TRANSPARENT);
    SetTextColor(p.dc, RGB(0, 0, 0));
    RECT box{p.position.x, p.position.y, p.width, p.height};
    DrawTextW(p.dc, textW.c_str(), static_cast<int>(textW.size()), &box, DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(p.dc, oldFont);
  });
}

COLORREF Canvas::Pixel(int x, int y) const { return PictureOf(hwnd_) ? GetPixel(PictureOf(hwnd_)->dc, x, y) : CLR_INVALID; }

}  // namespace ui
