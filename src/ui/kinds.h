// What the window builder needs of each kind of unit, one row per kind: a new
// kind is a new row.
#pragma once

#include <windows.h>

#include "ui/layout.h"
#include "ui/unit.h"

namespace ui {

class Window;

struct KindRow {
  Kind kind;
  const wchar_t* windowClass;  // nullptr: no control of its own (a timer)
  DWORD style;                 // besides WS_CHILD, the visibility and the border
  bool clientEdge;             // the sunken edge of fields and lists
  bool takesText;              // the row's text is the control's text
  void (*init)(Unit& u);       // once the control is made; may be nullptr
  // What a notification of the unit means (WM_COMMAND's or WM_NOTIFY's code; a
  // timer's tick comes as WM_TIMER). It may close the window, so nothing may
  // touch `w` after it fires an event. May be nullptr.
  void (*notified)(Window& w, Unit& u, UINT code, LPARAM lParam);
};

const KindRow& KindOf(Kind kind);

}  // namespace ui
