#include "ui/kinds.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "ui/canvas.h"
#include "ui/units.h"
#include "ui/web_view.h"
#include "ui/wide.h"
#include "ui/win32.h"
#include "ui/window.h"

namespace ui {

namespace {

// Our own code for a report list, after the list's notifications (whose codes are negative).
constexpr UINT kCheckCurrentRow = 1;

void AddPages(Unit& tab) {
  for (std::size_t p = 0; p < tab.row->items.size(); ++p) {
    std::wstring title = Wide(tab.row->items[p].title);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = title.data();
    SendMessageW(tab.hwnd, TCM_INSERTITEMW, p, reinterpret_cast<LPARAM>(&item));
  }
}

void AddColumns(Unit& list) {
  ReportList(list).Init();
}

void ListCurrentDirectory(Unit& list) {
  FileList(list).SetDirectory(Narrow(CurrentDirectory()));
}

void StartEmpty(Unit& bar) {
  SendMessageW(bar.hwnd, PBM_SETRANGE32, 0, 100);
  SendMessageW(bar.hwnd, PBM_SETPOS, 0, 0);
}

void ShowIcon(Unit& button) {
  if (HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), L"PLAY", IMAGE_ICON, 32, 32, 0)) {
    SendMessageW(button.hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  }
}

void PaintBackground(Unit& canvas) {
  Canvas(canvas).SetBackground(canvas.row->background);
}

void LoadPage(Unit& view) {
  RequestInBackground(view.row->text);
}

void ButtonNotified(Window& w, Unit& u, UINT code, LPARAM) {
  if (code == BN_CLICKED) w.Fire(u.row->name, Event::Clicked);
}

void FileListNotified(Window& w, Unit& u, UINT code, LPARAM) {
  if (code == LBN_SELCHANGE) w.Fire(u.row->name, Event::CurrentFileChanged);
  if (code == LBN_DBLCLK) w.Fire(u.row->name, Event::DoubleClicked);
}

void CanvasNotified(Window& w, Unit& u, UINT code, LPARAM) {
  if (code == kCanvasPressed) w.Fire(u.row->name, Event::LeftButtonDown);
}

void TimerNotified(Window& w, Unit& u, UINT code, LPARAM) {
  if (code == WM_TIMER) w.Fire(u.row->name, Event::Tick);
}

// The units of the page now chosen show, those of the others hide.
void TabNotified(Window& w, Unit& tab, UINT code, LPARAM) {
  if (code != static_cast<UINT>(TCN_SELCHANGE)) return;
  const int page = static_cast<int>(SendMessageW(tab.hwnd, TCM_GETCURSEL, 0, 0)) + 1;
  for (const Unit& u : w.units()) {
    if (u.tab == &tab) ShowWindow(u.hwnd, u.row->visible && u.page == page ? SW_SHOWNA : SW_HIDE);
  }
}

void CheckCurrentRow(Window& w, Unit& list) {
  const int row = ReportList(list).CurrentRow();
  if (row == list.reportedRow) return;
  list.reportedRow = row;
  w.Fire(list.row->name, Event::CurrentRowChanged);
}

// An owner-data list asks for the text of each cell as it paints it.
void ShowCell(Unit& list, NMLVDISPINFOW& info) {
  LVITEMW& item = info.item;
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
  const std::wstring text = Wide(ReportList(list).Cell(item.iItem, item.iSubItem));
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax) - 1);
  std::copy_n(text.data(), n, item.pszText);
  item.pszText[n] = L'\0';
}

void ReportListNotified(Window& w, Unit& u, UINT code, LPARAM lParam) {
  switch (code) {
    case static_cast<UINT>(LVN_ITEMCHANGED):
      // A click deselects the old row and selects the new one in two
      // notifications; look once both have arrived, so one change is one event.
      if (reinterpret_cast<const NMLISTVIEW*>(lParam)->uChanged & LVIF_STATE)
        w.NotifyLater(u, kCheckCurrentRow);
      break;
    case kCheckCurrentRow:
      CheckCurrentRow(w, u);
      break;
    case static_cast<UINT>(LVN_GETDISPINFOW):
      ShowCell(u, *reinterpret_cast<NMLVDISPINFOW*>(lParam));
      break;
    case static_cast<UINT>(NM_DBLCLK): {
      const std::string_view layout = w.layout().name;
      CheckCurrentRow(w, u);
      if (Window::Find(layout) == &w) w.Fire(u.row->name, Event::DoubleClicked);
      break;
    }
    default:
      break;
  }
}

constexpr DWORD kLabelStyle = SS_LEFT | SS_NOPREFIX;  // SS_LEFT wraps within the rectangle
constexpr DWORD kButtonStyle = BS_PUSHBUTTON | WS_TABSTOP;

// In the order of Kind.
constexpr KindRow kKinds[] = {
    {Kind::Label, L"STATIC", kLabelStyle, false, true, nullptr, nullptr},
    {Kind::TransparentLabel, L"STATIC", kLabelStyle, false, true, nullptr, nullptr},
    {Kind::Edit, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, true, true, nullptr, nullptr},
    {Kind::Button, L"BUTTON", kButtonStyle, false, true, nullptr, ButtonNotified},
    {Kind::CheckBox, L"BUTTON", BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP, false, true, nullptr, nullptr},
    {Kind::GroupBox, L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, false, true, nullptr, nullptr},
    {Kind::Tab, WC_TABCONTROLW, WS_CLIPSIBLINGS | WS_TABSTOP, false, false, AddPages, TabNotified},
    {Kind::FileList, L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_SORT | WS_VSCROLL | WS_TABSTOP, true,
     false, ListCurrentDirectory, FileListNotified},
    {Kind::ReportList, WC_LISTVIEWW,
     LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, true, false, AddColumns,
     ReportListNotified},
    {Kind::ImageButton, L"BUTTON", kButtonStyle, false, true, ShowIcon, ButtonNotified},
    {Kind::Canvas, kCanvasClass, 0, false, false, PaintBackground, CanvasNotified},
    {Kind::Timer, nullptr, 0, false, false, nullptr, TimerNotified},
    {Kind::ProgressBar, PROGRESS_CLASSW, 0, false, false, StartEmpty, nullptr},
    {Kind::Hyperlink, WC_LINK, WS_TABSTOP, false, true, nullptr, nullptr},
    {Kind::Picture, L"STATIC", SS_BITMAP, false, true, nullptr, nullptr},
    {Kind::WebView, L"STATIC", 0, false, true, LoadPage, nullptr},
};

constexpr bool InOrder() {
  for (std::size_t i = 0; i < std::size(kKinds); ++i) {
    if (static_cast<std::size_t>(kKinds[i].kind) != i) return false;
  }
  return std::size(kKinds) == static_cast<std::size_t>(Kind::WebView) + 1;
}
static_assert(InOrder(), "one row per kind, in the order of Kind");

}  // namespace

const KindRow& KindOf(Kind kind) {
  return kKinds[static_cast<std::size_t>(kind)];
}

}  // namespace ui
