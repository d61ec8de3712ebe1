// What handlers need of each kind of unit: small views over a unit's control.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/unit.h"

namespace ui {

// Labels, edit boxes, buttons, group boxes: a text (a caption) and a state.
class UnitView {
 public:
  explicit UnitView(Unit& u) : u_(u) {}
  HWND hwnd() const { return u_.hwnd; }
  std::string Text() const;
  void SetText(std::string_view gbk) const;
  void Enable(bool enabled) const;
  bool IsEnabled() const;

 protected:
  Unit& u_;
};

using Label = UnitView;
using Edit = UnitView;
using Button = UnitView;

class CheckBox : public UnitView {
 public:
  using UnitView::UnitView;
  bool Checked() const;
  void SetChecked(bool checked) const;
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
  int Position() const;
  void SetPosition(int percent) const;
};

// The files of one directory that match the unit's pattern, sorted, one current.
class FileList : public UnitView {
 public:
  using UnitView::UnitView;
  const std::string& Directory() const { return u_.directory; }
  // Lists the matching files of `directory` (GBK path); a missing directory lists nothing.
  void SetDirectory(std::string_view directory) const;
  std::vector<std::string> Files() const;
  std::string CurrentFile() const;  // empty when none is current
  void SetCurrent(int index) const;  // -1: none
};

// Rows under titled columns. The rows live here and the list asks for the
// cells it shows (an owner-data list): a fill of any size costs the same,
// where a list that holds its own items takes its time for every row.
class ReportList : public UnitView {
 public:
  using UnitView::UnitView;
  int RowCount() const;
  int AddRow(std::string_view firstCell) const;  // returns the new row's index
  // Replaces every row at once; no row is current afterwards.
  void SetRows(std::vector<Row> rows) const;
  void SetCell(int row, int column, std::string_view gbk) const;
  std::string Cell(int row, int column) const;  // empty for no row or cell
  void SetItemData(int row, long data) const;
  long ItemData(int row) const;  // 0 for no row
  void DeleteRow(int row) const;
  void Clear() const;
  int CurrentRow() const;  // -1: none
  void SetCurrentRow(int row) const;  // -1: none
  void ScrollTo(int row) const;
  std::vector<std::string> ColumnTitles() const;
  std::vector<int> ColumnWidths() const;

 private:
  bool Has(int row) const { return row >= 0 && static_cast<std::size_t>(row) < u_.rows.size(); }
};

}  // namespace ui
