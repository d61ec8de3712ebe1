// What the window builder needs of each kind of unit, one row per kind: a new
// kind is a new row.
#pragma once

#include <windows.h>

#include <span>

#include "ui/layout.h"
#include "ui/units.h"

namespace ui {

class Window;

// A notification of a unit's control (WM_COMMAND's or WM_NOTIFY's code; a
// timer's tick comes as WM_TIMER) and the event it fires.
struct Notice {
  UINT code;
  Event event;
};

struct KindRow {
  Kind kind;
  const wchar_t* windowClass = nullptr;  // nullptr: no control of its own (a timer)
  DWORD style = 0;                       // besides WS_CHILD, the visibility and the border
  bool clientEdge = false;               // the sunken edge of fields and lists
  bool takesText = false;                // the row's text is the control's text
  void (*init)(Unit& u) = nullptr;       // once the control is made
  std::span<const Notice> events = {};
  // What the kind itself does with a notification that fires no event; the
  // result answers a WM_NOTIFY that asks something.
  LRESULT (*notified)(Window& w, Unit& u, UINT code, LPARAM lParam) = nullptr;
};

const KindRow& KindOf(Kind kind);

}  // namespace ui
