// One unit of a window as the window builder created it from its row.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/layout.h"
#include "ui/row.h"

namespace ui {

struct Unit {
  const UnitRow* row = nullptr;
  HWND hwnd = nullptr;        // the control; for a timer, the window that owns it
  UINT id = 0;                // control id, or timer id
  POINT origin{};             // top-left corner in the window's client area
  const Unit* tab = nullptr;  // the tab control whose page holds the unit, if any
  int page = 0;               // that page, 1-based
  int interval = 0;           // timers: milliseconds, 0 = stopped
  int reportedRow = -1;       // report lists: the current row last reported
  std::vector<Row> rows;      // report lists: the rows, which the list shows as it needs them
  std::string directory;      // file lists: the directory listed
};

}  // namespace ui
