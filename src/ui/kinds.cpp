#include "ui/kinds.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "ui/canvas.h"
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
  SendMessageW(list.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  int index = 0;
  for (const Item& column : list.row->items) {
    std::wstring title = Wide(column.title);
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    c.pszText = title.data();
    c.cx = column.width;
    c.iSubItem = index;
    SendMessageW(list.hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&c));
  }
}

// The icon at the left edge, vertically centred, and the text centred in the
// rest, in every state the button draws (normal, hot, pressed, disabled,
// focused). A button given its image in a list aligned left lays the two out
// side by side itself; an icon set as the button's image alone is drawn over
// the text by Wine. One list serves the image buttons while the program runs.
void ShowIcon(Unit& button) {
  static const HIMAGELIST icons = [] {
    const HIMAGELIST list = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 1, 0);
    if (auto* icon =
            static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"PLAY", IMAGE_ICON, 32, 32, 0))) {
      ImageList_AddIcon(list, icon);
      DestroyIcon(icon);
    }
    return list;
  }();
  if (ImageList_GetImageCount(icons) == 0) return;  // a program without the icon (the tests)
  BUTTON_IMAGELIST image{icons, {4, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
  SendMessageW(button.hwnd, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&image));
}

// The units of the page now chosen show, those of the others hide.
LRESULT TabNotified(Window& w, Unit& tab, UINT code, LPARAM) {
  if (code != static_cast<UINT>(TCN_SELCHANGE)) return 0;
  const int page = static_cast<int>(SendMessageW(tab.hwnd, TCM_GETCURSEL, 0, 0)) + 1;
  for (const Unit& u : w.units()) {
    if (u.tab == &tab) ShowWindow(u.hwnd, u.row->visible && u.page == page ? SW_SHOWNA : SW_HIDE);
  }
  return 0;
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
  // Cut to the buffer, always terminated.
  lstrcpynW(item.pszText, Wide(ReportList(list).Cell(item.iItem, item.iSubItem)).c_str(), item.cchTextMax);
}

// Typing in an owner-data list asks which row matches what was typed: the
// first row from the one it names on (round to the top when it may wrap) whose
// first cell starts with the typed text, or is it, without regard to case, as
// a list that holds its own items finds it. -1: none.
LRESULT FindRow(Unit& list, const NMLVFINDITEMW& find) {
  const LVFINDINFOW& what = find.lvfi;
  if (!(what.flags & (LVFI_STRING | LVFI_PARTIAL)) || !what.psz) return -1;
  const std::wstring_view typed = what.psz;
  const ReportList rows(list);
  const int count = rows.RowCount();
  const int start = find.iStart >= 0 && find.iStart < count ? find.iStart : 0;
  const int end = what.flags & LVFI_WRAP ? start + count : count;
  for (int i = start; i < end; ++i) {
    const int row = i % count;
    const std::wstring cell = Wide(rows.Cell(row, 0));
    if (what.flags & LVFI_PARTIAL ? cell.size() < typed.size() : cell.size() != typed.size()) continue;
    const int n = static_cast<int>(typed.size());
    if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, cell.data(), n, typed.data(), n) == CSTR_EQUAL)
      return row;
  }
  return -1;
}

LRESULT ReportListNotified(Window& w, Unit& u, UINT code, LPARAM lParam) {
  switch (code) {
    case static_cast<UINT>(LVN_ITEMCHANGED):
      // A click deselects the old row and selects the new one in two
      // notifications; look once both have arrived, so one change is one event.
      if (reinterpret_cast<const NMLISTVIEW*>(lParam)->uChanged & LVIF_STATE) {
        w.NotifyLater(u, kCheckCurrentRow);
      }
      break;
    case kCheckCurrentRow:
      CheckCurrentRow(w, u);
      break;
    case static_cast<UINT>(LVN_GETDISPINFOW):
      ShowCell(u, *reinterpret_cast<NMLVDISPINFOW*>(lParam));
      break;
    case static_cast<UINT>(LVN_ODFINDITEMW):
      return FindRow(u, *reinterpret_cast<const NMLVFINDITEMW*>(lParam));
    case static_cast<UINT>(NM_DBLCLK): {
      const std::string_view layout = w.layout().name;
      CheckCurrentRow(w, u);
      if (Window::Find(layout) == &w) w.Fire(u.row->name, Event::DoubleClicked);
      break;
    }
    default:
      break;
  }
  return 0;
}

// clang-format off
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;  // SS_LEFT wraps within the rectangle
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr Notice kClicked[] = {{BN_CLICKED, Event::Clicked}};
constexpr Notice kFileEvents[] = {{LBN_SELCHANGE, Event::CurrentFileChanged}, {LBN_DBLCLK, Event::DoubleClicked}};
constexpr Notice kPressed[] = {{kCanvasPressed, Event::LeftButtonDown}};
constexpr Notice kTick[] = {{WM_TIMER, Event::Tick}};

// In the order of Kind.
constexpr KindRow kKinds[] = {
    {.kind = Kind::Label, .windowClass = L"STATIC", .style = kLabel, .takesText = true},
    {.kind = Kind::TransparentLabel, .windowClass = L"STATIC", .style = kLabel, .takesText = true},
    {.kind = Kind::Edit, .windowClass = L"EDIT", .style = ES_AUTOHSCROLL | WS_TABSTOP, .clientEdge = true,
     .takesText = true},
    {.kind = Kind::Button, .windowClass = L"BUTTON", .style = kButton, .takesText = true, .events = kClicked},
    {.kind = Kind::CheckBox, .windowClass = L"BUTTON", .style = BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP,
     .takesText = true, .events = kClicked},
    {.kind = Kind::GroupBox, .windowClass = L"BUTTON", .style = BS_GROUPBOX | WS_CLIPSIBLINGS, .takesText = true},
    {.kind = Kind::Tab, .windowClass = WC_TABCONTROLW, .style = WS_CLIPSIBLINGS | WS_TABSTOP, .init = AddPages,
     .notified = TabNotified},
    {.kind = Kind::FileList, .windowClass = L"LISTBOX",
     .style = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_SORT | WS_VSCROLL | WS_TABSTOP, .clientEdge = true,
     .init = [](Unit& u) { FileList(u).SetDirectory(CurrentDirectory()); }, .events = kFileEvents},
    {.kind = Kind::ReportList, .windowClass = WC_LISTVIEWW,
     .style = LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, .clientEdge = true,
     .init = AddColumns, .notified = ReportListNotified},
    {.kind = Kind::ImageButton, .windowClass = L"BUTTON", .style = kButton, .takesText = true, .init = ShowIcon,
     .events = kClicked},
    {.kind = Kind::Canvas, .windowClass = kCanvasClass, .init = [](Unit& u) { Canvas(u).SetBackground(u.row->background); },
     .events = kPressed},
    {.kind = Kind::Timer, .events = kTick},
    {.kind = Kind::ProgressBar, .windowClass = PROGRESS_CLASSW,
     .init = [](Unit& u) { SendMessageW(u.hwnd, PBM_SETRANGE32, 0, 100); }},
    {.kind = Kind::Hyperlink, .windowClass = WC_LINK, .style = WS_TABSTOP, .takesText = true},
    {.kind = Kind::Picture, .windowClass = L"STATIC", .style = SS_BITMAP, .takesText = true},
    {.kind = Kind::WebView, .windowClass = L"STATIC", .takesText = true,
     .init = [](Unit& u) { RequestInBackground(u.row->text); }},
};
// clang-format on

static_assert(
    std::size(kKinds) == static_cast<std::size_t>(Kind::WebView) + 1 &&
        std::ranges::all_of(kKinds, [](const KindRow& k) { return &k - kKinds == static_cast<int>(k.kind); }),
    "one row per kind, in the order of Kind");

}  // namespace

const KindRow& KindOf(Kind kind) {
  return kKinds[static_cast<std::size_t>(kind)];
}

}  // namespace ui
