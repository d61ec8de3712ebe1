// A unit of a window as the window builder created it from its row, and what
// handlers need of each kind of unit: small views over the unit's control.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <string_view>
#include <utility>
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
  std::wstring directory;     // file lists: the directory listed, by its real name
};

// Labels, edit boxes, buttons, group boxes: a text (a caption) and a state.
class UnitView {
 public:
  explicit UnitView(Unit& u) : u_(u) {}
  HWND hwnd() const { return u_.hwnd; }
  std::string Text() const;
  void SetText(std::string_view gbk) const;
  // The text as the control holds it: a path may hold characters that GBK lacks.
  std::wstring WideText() const;
  void SetWideText(std::wstring_view text) const;
  void Enable(bool enabled) const { EnableWindow(u_.hwnd, enabled); }
  bool IsEnabled() const { return IsWindowEnabled(u_.hwnd) != FALSE; }

 protected:
  Unit& u_;
};

using Label = UnitView;
using Edit = UnitView;
using Button = UnitView;

class CheckBox : public UnitView {
 public:
  using UnitView::UnitView;
  bool Checked() const { return SendMessageW(u_.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(bool checked) const {
    SendMessageW(u_.hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
};

class Timer : public UnitView {
 public:
  using UnitView::UnitView;
  int Interval() const { return u_.interval; }
  // Starts the timer anew with `ms` between ticks; 0 stops it.
  void SetInterval(int ms) const;
};

class ProgressBar : public UnitView {
 public:
  using UnitView::UnitView;
  int Position() const { return static_cast<int>(SendMessageW(u_.hwnd, PBM_GETPOS, 0, 0)); }
  void SetPosition(int percent) const { SendMessageW(u_.hwnd, PBM_SETPOS, static_cast<WPARAM>(percent), 0); }
};

// The files of one directory that match the unit's pattern, sorted, one current.
// The list holds the real (UTF-16) names, shows them, and opens by them; the
// rest of the program reads them as GBK text, where a character that GBK lacks
// is '?'.
class FileList : public UnitView {
 public:
  using UnitView::UnitView;
  std::string Directory() const;
  const std::wstring& WideDirectory() const { return u_.directory; }
  // Lists the matching files of `directory`; a missing directory lists nothing.
  void SetDirectory(std::wstring_view directory) const;
  void SetDirectory(std::string_view gbkDirectory) const;
  std::vector<std::string> Files() const;
  std::string CurrentFile() const;  // empty when none is current
  // The real path of the current file, to open it by; empty when none is current.
  std::wstring CurrentPath() const;
  // -1: none.
  void SetCurrent(int index) const { SendMessageW(u_.hwnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
};

// Rows under titled columns. The rows live here and the list asks for the
// cells it shows (an owner-data list): a fill of any size costs the same,
// where a list that holds its own items takes its time for every row.
class ReportList : public UnitView {
 public:
  using UnitView::UnitView;
  int RowCount() const { return static_cast<int>(u_.rows.size()); }
  int AddRow(std::string_view firstCell) const;  // returns the new row's index
  // Replaces every row at once; no row is current afterwards.
  void SetRows(std::vector<Row> rows) const;
  std::string Cell(int row, int column) const;  // empty for no row or cell
  // 0 for no row.
  long ItemData(int row) const { return Has(row) ? u_.rows[static_cast<std::size_t>(row)].data : 0; }
  void DeleteRow(int row) const;
  void Clear() const;
  int CurrentRow() const {  // -1: none
    return static_cast<int>(SendMessageW(u_.hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  }
  void SetCurrentRow(int row) const;  // -1: none
  void ScrollTo(int row) const {
    if (row >= 0) SendMessageW(u_.hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  }
  // Each column's title and width, in order.
  std::vector<std::pair<std::string, int>> Columns() const;

 private:
  bool Has(int row) const { return row >= 0 && static_cast<std::size_t>(row) < u_.rows.size(); }
};

}  // namespace ui
