#include "ui/units.h"

#include <algorithm>

#include "ui/wide.h"
#include "ui/win32.h"

namespace ui {

namespace {

std::wstring ItemText(HWND list, int i) {
  std::wstring name(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
  name.resize(
      static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name.data()))));
  return name;
}

int CurrentItem(HWND list) {
  return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
}

// `folder` and `name` joined by one backslash.
std::wstring InFolder(std::wstring folder, std::wstring_view name) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder += name;
}

}  // namespace

std::string UnitView::Text() const {
  return WindowText(u_.hwnd);
}

void UnitView::SetText(std::string_view gbk) const {
  SetWindowTextW(u_.hwnd, Wide(gbk).c_str());
}

std::wstring UnitView::WideText() const {
  return WideWindowText(u_.hwnd);
}

void UnitView::SetWideText(std::wstring_view text) const {
  SetWindowTextW(u_.hwnd, std::wstring(text).c_str());
}

void Timer::SetInterval(int ms) const {
  u_.interval = std::max(ms, 0);
  if (u_.interval == 0) {
    KillTimer(u_.hwnd, u_.id);
  } else {
    SetTimer(u_.hwnd, u_.id, static_cast<UINT>(u_.interval), nullptr);
  }
}

std::string FileList::Directory() const {
  return Narrow(u_.directory);
}

void FileList::SetDirectory(std::string_view gbkDirectory) const {
  SetDirectory(Wide(gbkDirectory));
}

void FileList::SetDirectory(std::wstring_view directory) const {
  u_.directory = std::wstring(directory);
  SendMessageW(u_.hwnd, WM_SETREDRAW, FALSE, 0);
  SendMessageW(u_.hwnd, LB_RESETCONTENT, 0, 0);
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW(InFolder(u_.directory, Wide(u_.row->text)).c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SendMessageW(u_.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
      }
    } while (FindNextFileW(h, &found));
    FindClose(h);
  }
  SendMessageW(u_.hwnd, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(u_.hwnd, nullptr, TRUE);
}

std::vector<std::string> FileList::Files() const {
  std::vector<std::string> files;
  const auto n = static_cast<int>(SendMessageW(u_.hwnd, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) files.push_back(Narrow(ItemText(u_.hwnd, i)));
  return files;
}

std::string FileList::CurrentFile() const {
  const int i = CurrentItem(u_.hwnd);
  return i < 0 ? std::string() : Narrow(ItemText(u_.hwnd, i));
}

std::wstring FileList::CurrentPath() const {
  const int i = CurrentItem(u_.hwnd);
  return i < 0 ? std::wstring() : InFolder(u_.directory, ItemText(u_.hwnd, i));
}

int ReportList::AddRow(std::string_view firstCell) const {
  u_.rows.push_back({{std::string(firstCell)}});
  SendMessageW(u_.hwnd, LVM_SETITEMCOUNT, u_.rows.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  return RowCount() - 1;
}

void ReportList::SetRows(std::vector<Row> rows) const {
  Clear();
  u_.rows = std::move(rows);
  SendMessageW(u_.hwnd, LVM_SETITEMCOUNT, u_.rows.size(), 0);
}

std::string ReportList::Cell(int row, int column) const {
  if (!Has(row) || column < 0) return {};
  const std::vector<std::string>& cells = u_.rows[static_cast<std::size_t>(row)].cells;
  return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)]
                                                         : std::string();
}

void ReportList::DeleteRow(int row) const {
  if (!Has(row)) return;
  u_.rows.erase(u_.rows.begin() + row);
  // The list moves the selection of the rows below up with them.
  SendMessageW(u_.hwnd, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void ReportList::Clear() const {
  u_.rows.clear();
  SendMessageW(u_.hwnd, LVM_DELETEALLITEMS, 0, 0);
  // A row picked after this is a change, even at the position picked before.
  u_.reportedRow = -1;
}

void ReportList::SetCurrentRow(int row) const {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(u_.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  if (row < 0) return;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(u_.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::vector<std::pair<std::string, int>> ReportList::Columns() const {
  std::vector<std::pair<std::string, int>> columns;
  wchar_t title[256];
  LVCOLUMNW c{};
  c.mask = LVCF_TEXT | LVCF_WIDTH;
  c.pszText = title;
  c.cchTextMax = 256;
  while (SendMessageW(u_.hwnd, LVM_GETCOLUMNW, columns.size(), reinterpret_cast<LPARAM>(&c))) {
    columns.emplace_back(Narrow(title), c.cx);
  }
  return columns;
}

}  // namespace ui
