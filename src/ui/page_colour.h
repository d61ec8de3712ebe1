// The colour of a tab control's pages, for the units that lie on them.
#pragma once

#include <windows.h>

#include "ui/scoped.h"

namespace ui {

class PageColour {
 public:
  // The brush of the pages of `tab`, measured once; `window` is the colour
  // behind the control.
  HBRUSH Brush(HWND tab, HBRUSH window);

 private:
  Gdi<HBRUSH> brush_;
  bool measuring_ = false;
};

}  // namespace ui
