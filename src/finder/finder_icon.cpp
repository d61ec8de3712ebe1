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

constexpr COLORREF kCaptureBackground = RGB(240, 255, 240);

void DrawCrossHair(const ui::Canvas& c) {
  c.Line(0, 14, 31, 14);
  c.Line(14, 0, 14, 31);
}

}  // namespace

void DrawFinderIcon(const ui::Canvas& canvas, COLORREF pen, int x0, int y0) {
  canvas.SetFill(canvas.Background());
  canvas.SetPen(pen);
  // The circle's inside is painted in the background colour, hiding what was there.
  canvas.Ellipse(x0 + 4, y0 + 4, x0 + 25, y0 + 25);
  for (const Stroke& s : kFigure) canvas.Line(x0 + s.x1, y0 + s.y1, x0 + s.x2, y0 + s.y2);
  // Both diameters cross the centre; clear that pixel again.
  canvas.Point(x0 + 14, y0 + 14, canvas.Fill());
}

void ResetCaptureCanvas() {
  const ui::Canvas c = forms::main::画板_捕获器();
  c.Clear();
  c.SetBackground(kCaptureBackground);
  c.SetPen(kFinderPen);
  DrawCrossHair(c);
  DrawFinderIcon(c, kFinderPen, 0, 0);
}

void BeginCaptureDrag() {
  const ui::Canvas c = forms::main::画板_捕获器();
  c.SetPen(kFinderPen);
  c.Clear();
  DrawCrossHair(c);
  if (!forms::DragIcon()) forms::OpenDragIcon();
}

}  // namespace finder
