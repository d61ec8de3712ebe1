#include "finder/finder_icon.h"

#include "forms/drag_icon_form.h"
#include "forms/main_form.h"

namespace finder {

namespace {

struct Stroke {
  int x1, y1, x2, y2;
};

// Diameters, then the target's strokes from the outside in, left, right, top, bottom.
constexpr Stroke kFigure[] = {
    {4, 14, 25, 14},  {14, 4, 14, 25},  {9, 12, 9, 17},   {11, 13, 11, 16}, {13, 13, 13, 16},
    {19, 12, 19, 17}, {17, 13, 17, 16}, {15, 13, 15, 16}, {12, 9, 17, 9},   {13, 11, 16, 11},
    {13, 13, 16, 13}, {12, 19, 17, 19}, {13, 17, 16, 17}, {13, 15, 16, 15},
};

constexpr COLORREF kFinderPen = 0xFF8800;  // 0x00BBGGRR: red 0, green 136, blue 255
constexpr COLORREF kCaptureBackground = RGB(240, 255, 240);

void DrawCrossHair(const ui::Canvas& c) {
  c.SetPen(kFinderPen);
  c.Line(0, 14, 31, 14);
  c.Line(14, 0, 14, 31);
}

}  // namespace

void DrawFinderIcon(const ui::Canvas& canvas) {
  canvas.SetFill(canvas.Background());
  canvas.SetPen(kFinderPen);
  // The circle's inside is painted in the background colour, hiding what was there.
  canvas.Ellipse(4, 4, 25, 25);
  for (const Stroke& s : kFigure) canvas.Line(s.x1, s.y1, s.x2, s.y2);
  // Both diameters cross the centre; clear that pixel again.
  canvas.Point(14, 14, canvas.Fill());
}

void ResetCaptureCanvas() {
  const ui::Canvas c = forms::main::画板_捕获器();
  c.Clear();
  c.SetBackground(kCaptureBackground);
  DrawCrossHair(c);
  DrawFinderIcon(c);
}

void BeginCaptureDrag() {
  const ui::Canvas c = forms::main::画板_捕获器();
  c.Clear();
  DrawCrossHair(c);
  if (!forms::DragIcon()) forms::OpenDragIcon();
}

}  // namespace finder
