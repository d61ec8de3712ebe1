// A drawing surface whose picture persists across repaints. Coordinates are
// pixels from the top-left corner of the client area (inside any border).
#pragma once

#include <windows.h>

#include <string_view>

#include "ui/units.h"

namespace ui {

// The canvas control's window class, registered with RegisterCanvasClass. A
// left-button press on a canvas reaches its parent as WM_COMMAND with
// kCanvasPressed, as a click on a static control does.
inline constexpr wchar_t kCanvasClass[] = L"LyrimarkCanvas";
constexpr WORD kCanvasPressed = STN_CLICKED;
void RegisterCanvasClass();

class Canvas {
 public:
  explicit Canvas(const Unit& u) : hwnd_(u.hwnd) {}

  COLORREF Background() const;
  // Repaints the whole canvas in the new colour at once, erasing any drawing.
  void SetBackground(COLORREF colour) const;
  void SetPen(COLORREF colour) const;
  COLORREF Fill() const;
  void SetFill(COLORREF colour) const;

  // Fills the canvas with its background colour.
  void Clear() const;
  // Solid one-pixel pen, copy mode; the end point itself is not drawn.
  void Line(int x1, int y1, int x2, int y2) const;
  // Outline with the pen, inside with the fill colour; right and bottom exclusive.
  void Ellipse(int left, int top, int right, int bottom) const;
  void Point(int x, int y, COLORREF colour) const;
  // Writes text from the top-left corner, wrapped to the canvas's width.
  void Text(std::string_view gbk) const;

  // The picture's pixel (for checking what was drawn).
  COLORREF Pixel(int x, int y) const;

 private:
  HWND hwnd_;
};

}  // namespace ui
