#include "ui/window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "ui/canvas.h"
#include "ui/guard.h"
#include "ui/units.h"
#include "ui/web_view.h"
#include "ui/wide.h"

namespace ui {

namespace {

constexpr wchar_t kWindowClass[] = L"LyrimarkWindow";
constexpr UINT kFirstId = 100;

std::vector<Window*>& OpenWindows() {
  static std::vector<Window*> windows;
  return windows;
}

void RegisterWindowClass(WNDPROC proc) {
  static bool registered = false;
  if (registered) return;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                                           ICC_PROGRESS_CLASS | ICC_LINK_CLASS};
  InitCommonControlsEx(&icc);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(wc.hInstance, L"APP");
  wc.lpszClassName = kWindowClass;
  RegisterClassExW(&wc);
  registered = true;
}

int CALLBACK NoteFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

int CALLBACK NoteChineseFont(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM face) {
  auto* name = reinterpret_cast<std::wstring*>(face);
  if (name->empty() && lf->lfFaceName[0] != L'@') *name = lf->lfFaceName;  // '@': vertical variants
  return name->empty() ? 1 : 0;
}

DWORD StyleOf(const UnitRow& row) {
  switch (row.kind) {
    case Kind::Label:
    case Kind::TransparentLabel:
      return SS_LEFT | SS_NOPREFIX;  // SS_LEFT wraps within the rectangle
    case Kind::Edit:
      return ES_AUTOHSCROLL | WS_TABSTOP;
    case Kind::Button:
    case Kind::ImageButton:
      return BS_PUSHBUTTON | WS_TABSTOP;
    case Kind::CheckBox:
      return BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP;
    case Kind::GroupBox:
      return BS_GROUPBOX | WS_CLIPSIBLINGS;
    case Kind::Tab:
      return WS_CLIPSIBLINGS | WS_TABSTOP;
    case Kind::FileList:
      return LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_SORT | WS_VSCROLL | WS_TABSTOP;
    case Kind::ReportList:
      return LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP;
    case Kind::ProgressBar:
      return 0;
    case Kind::Hyperlink:
      return WS_TABSTOP;
    case Kind::Picture:
      return SS_BITMAP;
    case Kind::Canvas:
    case Kind::Timer:
    case Kind::WebView:
      return 0;
  }
  return 0;
}

const wchar_t* ClassOf(Kind kind) {
  switch (kind) {
    case Kind::Edit:
      return L"EDIT";
    case Kind::Button:
    case Kind::ImageButton:
    case Kind::CheckBox:
    case Kind::GroupBox:
      return L"BUTTON";
    case Kind::Tab:
      return WC_TABCONTROLW;
    case Kind::FileList:
      return L"LISTBOX";
    case Kind::ReportList:
      return WC_LISTVIEWW;
    case Kind::ProgressBar:
      return PROGRESS_CLASSW;
    case Kind::Hyperlink:
      return WC_LINK;
    default:
      return L"STATIC";
  }
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

bool HasClientEdge(Kind kind) {
  return kind == Kind::Edit || kind == Kind::FileList || kind == Kind::ReportList;
}

}  // namespace

HFONT UnitFont() {
  static HFONT font = [] {
    // The layouts were made for SimSun 9 pt (12-px glyphs, 12-px lines). Where
    // it is missing, a Song-style font of similar metrics keeps nine lines of
    // the about text inside their 120 px; failing that, any font with Chinese.
    std::wstring face;
    HDC dc = GetDC(nullptr);
    for (const wchar_t* preferred : {L"SimSun", L"AR PL UMing CN"}) {
      LOGFONTW want{};
      want.lfCharSet = GB2312_CHARSET;
      lstrcpyW(want.lfFaceName, preferred);
      bool found = false;
      EnumFontFamiliesExW(dc, &want, NoteFont, reinterpret_cast<LPARAM>(&found), 0);
      if (found) {
        face = preferred;
        break;
      }
    }
    if (face.empty()) {
      LOGFONTW any{};
      any.lfCharSet = GB2312_CHARSET;
      EnumFontFamiliesExW(dc, &any, NoteChineseFont, reinterpret_cast<LPARAM>(&face), 0);
    }
    ReleaseDC(nullptr, dc);
    if (face.empty()) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  }();
  return font;
}

Window::Window(const WindowLayout& layout, std::span<const Binding> bindings)
    : layout_(layout), bindings_(bindings) {}

Window* Window::Open(const WindowLayout& layout, std::span<const Binding> bindings, HWND owner) {
  RegisterWindowClass(Proc);
  auto* w = new Window(layout, bindings);
  const bool popup = layout.frame == Frame::Popup;
  const DWORD style = popup ? WS_POPUP : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  const DWORD exStyle = popup ? WS_EX_TOOLWINDOW : 0;
  w->background_ = layout.background == 0xFFFFFFFFu ? GetSysColorBrush(COLOR_BTNFACE)
                                                     : CreateSolidBrush(layout.background);
  const Rect& r = layout.rect;
  HWND hwnd = CreateWindowExW(exStyle, kWindowClass, Wide(layout.caption).c_str(), style, r.left, r.top,
                              r.width, r.height, owner, nullptr, GetModuleHandleW(nullptr), w);
  if (!hwnd) {
    delete w;
    return nullptr;
  }
  OpenWindows().push_back(w);
  if (!layout.menu.empty()) {
    // Defined, but not shown as a menu bar: a bar would take height from the client area.
    w->menu_ = CreatePopupMenu();
    UINT_PTR item = 1;
    for (const MenuItem& m : layout.menu) AppendMenuW(w->menu_, MF_STRING, item++, Wide(m.title).c_str());
  }
  w->CreateUnits();
  w->Fire({}, Event::Created);
  return Find(layout.name) == w && IsWindow(hwnd) ? w : nullptr;
}

Window* Window::Find(std::string_view layoutName) {
  for (Window* w : OpenWindows()) {
    if (w->layout_.name == layoutName) return w;
  }
  return nullptr;
}

Unit& Window::unit(std::string_view name) {
  for (Unit& u : units_) {
    if (u.row->name == name) return u;
  }
  std::fprintf(stderr, "no unit %.*s in window %.*s\n", static_cast<int>(name.size()), name.data(),
               static_cast<int>(layout_.name.size()), layout_.name.data());
  std::abort();
}

std::string Window::Caption() const {
  wchar_t buffer[1024];
  const int n = GetWindowTextW(hwnd_, buffer, 1024);
  return Narrow(std::wstring_view(buffer, static_cast<std::size_t>(std::max(n, 0))));
}

void Window::SetCaption(std::string_view gbk) const { SetWindowTextW(hwnd_, Wide(gbk).c_str()); }

void Window::Show() const { ShowWindow(hwnd_, SW_SHOWNORMAL); }

void Window::Close() const { DestroyWindow(hwnd_); }

void Window::SetTopmost(bool topmost) const {
  SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Window::RunUntilClosed() const {
  const HWND hwnd = hwnd_;
  MSG msg;
  while (IsWindow(hwnd)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave the quit to the outer loop
      return;
    }
    if (got < 0) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Window::CreateUnits() {
  units_.resize(layout_.units.size());
  for (std::size_t i = 0; i < units_.size(); ++i) CreateUnit(units_[i], static_cast<int>(i));
  // Containers below their contents: rows list a container before what it holds,
  // so stack every unit under the ones that follow it.
  for (auto it = units_.rbegin(); it != units_.rend(); ++it) {
    if (it->row->kind != Kind::Timer) {
      SetWindowPos(it->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

void Window::CreateUnit(Unit& u, int index) {
  const UnitRow& row = layout_.units[static_cast<std::size_t>(index)];
  u.row = &row;
  u.id = kFirstId + static_cast<UINT>(index);
  u.origin = {row.rect.left, row.rect.top};
  if (!row.in.empty()) {
    const Unit& container = unit(row.in);
    u.origin.x += container.origin.x;
    u.origin.y += container.origin.y;
    if (container.row->kind == Kind::Tab) {
      u.tab = &container;
      u.page = row.page;
    } else {
      u.tab = container.tab;
      u.page = container.page;
    }
  }
  if (row.kind == Kind::Timer) {
    u.hwnd = hwnd_;
    Timer(u).SetInterval(row.interval);
    return;
  }
  const bool shown = row.visible && (u.tab == nullptr || u.page == 1);  // the first page shows at start
  // Some given rectangles overlap; clipping siblings lets the later unit, which
  // lies above, keep its pixels.
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (shown ? WS_VISIBLE : 0) | StyleOf(row) |
                      (row.border == Border::Single ? WS_BORDER : 0);
  const DWORD exStyle = HasClientEdge(row.kind) ? WS_EX_CLIENTEDGE : 0;
  const HMENU id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(u.id));
  if (row.kind == Kind::Canvas) {
    u.hwnd = CreateCanvas(hwnd_, u.id, u.origin, row.rect.width, row.rect.height, style, row.background);
  } else {
    const std::wstring textW = row.kind == Kind::FileList || row.kind == Kind::ReportList ||
                                       row.kind == Kind::Tab || row.kind == Kind::ProgressBar
                                   ? std::wstring()
                                   : Wide(row.text);
    u.hwnd = CreateWindowExW(exStyle, ClassOf(row.kind), textW.c_str(), style, u.origin.x, u.origin.y,
                             row.rect.width, row.rect.height, hwnd_, id, GetModuleHandleW(nullptr), nullptr);
    if (!u.hwnd && row.kind == Kind::Hyperlink) {  // no link control without Common Controls 6
      u.hwnd = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | (shown ? WS_VISIBLE : 0), u.origin.x, u.origin.y,
                               row.rect.width, row.rect.height, hwnd_, id, GetModuleHandleW(nullptr), nullptr);
    }
  }
  SendMessageW(u.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(UnitFont()), FALSE);
  switch (row.kind) {
    case Kind::Tab:
      for (std::size_t p = 0; p < row.items.size(); ++p) {
        std::wstring title = Wide(row.items[p].title);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title.data();
        SendMessageW(u.hwnd, TCM_INSERTITEMW, p, reinterpret_cast<LPARAM>(&item));
      }
      break;
    case Kind::ReportList:
      ReportList(u).Init();
      break;
    case Kind::FileList: {
      wchar_t cwd[MAX_PATH];
      const DWORD n = GetCurrentDirectoryW(MAX_PATH, cwd);
      FileList(u).SetDirectory(Narrow(std::wstring_view(cwd, n)));
      break;
    }
    case Kind::ProgressBar:
      SendMessageW(u.hwnd, PBM_SETRANGE32, 0, 100);
      SendMessageW(u.hwnd, PBM_SETPOS, 0, 0);
      break;
    case Kind::ImageButton:
      if (HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), L"PLAY", IMAGE_ICON, 32, 32, 0)) {
        SendMessageW(u.hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
      }
      break;
    case Kind::WebView:
      RequestInBackground(row.text);
      break;
    default:
      break;
  }
}

Unit* Window::UnitById(UINT id) {
  if (id < kFirstId || id >= kFirstId + units_.size()) return nullptr;
  return &units_[id - kFirstId];
}

Unit* Window::UnitByHandle(HWND hwnd) {
  for (Unit& u : units_) {
    if (u.hwnd == hwnd && u.row->kind != Kind::Timer) return &u;
  }
  return nullptr;
}

HBRUSH Window::PageBrush(const Unit& tab) {
  // A themed tab control asks its parent for what lies behind it while it
  // paints, which brings us back here: that is the window's colour.
  if (!pageBrush_ && measuringPage_) return background_;
  if (!pageBrush_) {
    // A themed tab control paints its pages lighter than the window (white
    // under Wine's theme, near white on Windows); units on a page take that
    // colour, read from the control's own picture of itself.
    measuringPage_ = true;
    RECT rc;
    GetClientRect(tab.hwnd, &rc);
    HDC screen = GetDC(tab.hwnd);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    FillRect(dc, &rc, background_);
    SendMessageW(tab.hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF body = GetPixel(dc, rc.right / 2, rc.bottom - 8);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(tab.hwnd, screen);
    pageBrush_ = CreateSolidBrush(body == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : body);
    measuringPage_ = false;
  }
  return pageBrush_;
}

void Window::ShowPage(const Unit& tab) const {
  const int page = static_cast<int>(SendMessageW(tab.hwnd, TCM_GETCURSEL, 0, 0)) + 1;
  for (const Unit& u : units_) {
    if (u.tab == &tab) ShowWindow(u.hwnd, u.row->visible && u.page == page ? SW_SHOWNA : SW_HIDE);
  }
}

void Window::CheckCurrentRow(Unit& list) {
  const int row = ReportList(list).CurrentRow();
  if (row == list.reportedRow) return;
  list.reportedRow = row;
  Fire(list.row->name, Event::CurrentRowChanged);
}

void Window::Fire(std::string_view unitName, Event event) const {
  for (const Binding& b : bindings_) {
    if (b.window == layout_.name && b.unit == unitName && b.event == event) {
      Guarded(b.handler);
      return;
    }
  }
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* w = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    w->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  }
  auto* w = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!w) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    auto& open = OpenWindows();
    open.erase(std::remove(open.begin(), open.end(), w), open.end());
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (w->menu_) DestroyMenu(w->menu_);
    if (w->layout_.background != 0xFFFFFFFFu) DeleteObject(w->background_);
    if (w->pageBrush_) DeleteObject(w->pageBrush_);
    delete w;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  LRESULT result = 0;
  Guarded([&] { result = w->Handle(msg, wParam, lParam); });
  return result;
}

LRESULT Window::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND: {
      auto dc = reinterpret_cast<HDC>(wParam);
      RECT rc;
      GetClientRect(hwnd_, &rc);
      FillRect(dc, &rc, background_);
      // Where a group box on a page keeps the tab control from painting, the
      // page colour must show through too.
      for (const Unit& u : units_) {
        if (u.row->kind != Kind::Tab) continue;
        RECT page{u.origin.x, u.origin.y, u.origin.x + u.row->rect.width, u.origin.y + u.row->rect.height};
        SendMessageW(u.hwnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
        FillRect(dc, &page, PageBrush(u));
      }
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      auto dc = reinterpret_cast<HDC>(wParam);
      const Unit* u = UnitByHandle(reinterpret_cast<HWND>(lParam));
      SetBkMode(dc, TRANSPARENT);
      if (u && u->row->kind == Kind::TransparentLabel) return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      if (u && u->tab) return reinterpret_cast<LRESULT>(PageBrush(*u->tab));
      return reinterpret_cast<LRESULT>(background_);
    }
    case WM_COMMAND: {
      Unit* u = UnitById(LOWORD(wParam));
      if (!u || reinterpret_cast<HWND>(lParam) != u->hwnd) break;
      const WORD code = HIWORD(wParam);
      const Kind kind = u->row->kind;
      if (code == BN_CLICKED && (kind == Kind::Button || kind == Kind::ImageButton)) {
        Fire(u->row->name, Event::Clicked);
      } else if (kind == Kind::FileList && code == LBN_SELCHANGE) {
        Fire(u->row->name, Event::CurrentFileChanged);
      } else if (kind == Kind::FileList && code == LBN_DBLCLK) {
        Fire(u->row->name, Event::DoubleClicked);
      }
      return 0;
    }
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
      Unit* u = UnitByHandle(hdr->hwndFrom);
      if (!u) break;
      if (u->row->kind == Kind::Tab && hdr->code == TCN_SELCHANGE) {
        ShowPage(*u);
      } else if (u->row->kind == Kind::ReportList && hdr->code == LVN_ITEMCHANGED) {
        // A click deselects the old row and selects the new one in two
        // notifications; look once both have arrived, so one change is one event.
        if (reinterpret_cast<const NMLISTVIEW*>(lParam)->uChanged & LVIF_STATE) {
          PostMessageW(hwnd_, kCheckCurrentRow, u->id, 0);
        }
      } else if (u->row->kind == Kind::ReportList && hdr->code == LVN_GETDISPINFOW) {
        ShowCell(*u, *reinterpret_cast<NMLVDISPINFOW*>(lParam));
      } else if (u->row->kind == Kind::ReportList && hdr->code == NM_DBLCLK) {
        CheckCurrentRow(*u);
        if (Window::Find(layout_.name) == this) Fire(u->row->name, Event::DoubleClicked);
      }
      return 0;
    }
    case kCheckCurrentRow:
      if (Unit* u = UnitById(static_cast<UINT>(wParam))) CheckCurrentRow(*u);
      return 0;
    case kCanvasPressed:
      if (Unit* u = UnitByHandle(reinterpret_cast<HWND>(wParam))) Fire(u->row->name, Event::LeftButtonDown);
      return 0;
    case WM_TIMER:
      if (Unit* u = UnitById(static_cast<UINT>(wParam)); u && u->row->kind == Kind::Timer) {
        Fire(u->row->name, Event::Tick);
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) Fire({}, Event::Activated);
      return 0;
    case WM_CLOSE:
      // The user closes the window that ends the program: every wait in a
      // handler below us ends on the quit, and the loop with them. (A window
      // the program destroys itself, as an update does, ends nothing.)
      if (layout_.endsLoop) PostQuitMessage(0);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace ui
