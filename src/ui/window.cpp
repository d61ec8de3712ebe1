#include "ui/window.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "ui/canvas.h"
#include "ui/font.h"
#include "ui/guard.h"
#include "ui/kinds.h"
#include "ui/wide.h"
#include "ui/win32.h"

namespace ui {

namespace {

constexpr wchar_t kWindowClass[] = L"LyrimarkWindow";
constexpr UINT kFirstId = 100;
// The message of NotifyLater: wParam is the unit's id, lParam the code.
constexpr UINT kNotifyLater = WM_APP + 2;

std::vector<Window*> openWindows;

// The classes of our own windows and of every control the kinds make.
const wchar_t* RegisterClasses(WNDPROC proc) {
  static const wchar_t* name = [proc] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                                             ICC_PROGRESS_CLASS | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
    RegisterCanvasClass();
    return RegisterWindowClass(kWindowClass, proc, LoadIconW(GetModuleHandleW(nullptr), L"APP"));
  }();
  return name;
}

}  // namespace

Window* Window::Open(const WindowLayout& layout, std::span<const Binding> bindings, HWND owner) {
  const wchar_t* windowClass = RegisterClasses(Proc);
  auto* w = new Window(layout, bindings);
  const bool popup = layout.frame == Frame::Popup;
  const DWORD style = popup ? WS_POPUP : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  const DWORD exStyle = popup ? WS_EX_TOOLWINDOW : 0;
  if (layout.background != 0xFFFFFFFFu) w->ownBackground_.reset(CreateSolidBrush(layout.background));
  w->background_ = w->ownBackground_ ? w->ownBackground_.get() : GetSysColorBrush(COLOR_BTNFACE);
  const Rect& r = layout.rect;
  HWND hwnd = CreateWindowExW(exStyle, windowClass, Wide(layout.caption).c_str(), style, r.left, r.top,
                              r.width, r.height, owner, nullptr, GetModuleHandleW(nullptr), w);
  if (!hwnd) {
    delete w;
    return nullptr;
  }
  openWindows.push_back(w);
  if (!layout.menu.empty()) {
    // Defined, but not shown as a menu bar: a bar would take height from the client area.
    w->menu_.reset(CreatePopupMenu());
    UINT_PTR item = 1;
    for (const MenuItem& m : layout.menu)
      AppendMenuW(w->menu_.get(), MF_STRING, item++, Wide(m.title).c_str());
  }
  w->CreateUnits();
  w->Fire({}, Event::Created);
  return Find(layout.name) == w && IsWindow(hwnd) ? w : nullptr;
}

Window* Window::Find(std::string_view layoutName) {
  for (Window* w : openWindows) {
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

void Window::SetTopmost(bool topmost) const {
  SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool Window::RegisterHotKey(std::string_view unitName, UINT modifiers, UINT key) {
  const UINT id = unit(unitName).id;
  if (!::RegisterHotKey(hwnd_, static_cast<int>(id), modifiers, key)) return false;
  hotKeys_.push_back(id);
  return true;
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
    const bool onPage = container.row->kind == Kind::Tab;
    u.tab = onPage ? &container : container.tab;
    u.page = onPage ? row.page : container.page;
  }
  const KindRow& kind = KindOf(row.kind);
  if (!kind.windowClass) {  // a timer
    u.hwnd = hwnd_;
    Timer(u).SetInterval(row.interval);
    return;
  }
  const bool shown = row.visible && (u.tab == nullptr || u.page == 1);  // the first page shows at start
  // Some given rectangles overlap; clipping siblings lets the later unit, which
  // lies above, keep its pixels.
  const DWORD visible = WS_CHILD | WS_CLIPSIBLINGS | (shown ? WS_VISIBLE : 0);
  const DWORD style = visible | kind.style | (row.border == Border::Single ? WS_BORDER : 0);
  const auto make = [&](const wchar_t* windowClass, DWORD exStyle, DWORD styles, const std::wstring& text) {
    return CreateWindowExW(exStyle, windowClass, text.c_str(), styles, u.origin.x, u.origin.y, row.rect.width,
                           row.rect.height, hwnd_, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(u.id)),
                           GetModuleHandleW(nullptr), nullptr);
  };
  u.hwnd = make(kind.windowClass, kind.clientEdge ? WS_EX_CLIENTEDGE : 0, style,
                kind.takesText ? Wide(row.text) : std::wstring());
  // A control the system cannot make (no link control without Common
  // Controls 6) stands as an empty static of its size.
  if (!u.hwnd) u.hwnd = make(L"STATIC", 0, visible, {});
  SendMessageW(u.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(UnitFont()), FALSE);
  if (kind.init) kind.init(u);
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

void Window::NotifyLater(const Unit& u, UINT code) const {
  PostMessageW(hwnd_, kNotifyLater, u.id, static_cast<LPARAM>(code));
}

LRESULT Window::Notify(Unit& u, UINT code, LPARAM lParam) {
  const KindRow& kind = KindOf(u.row->kind);
  for (const Notice& n : kind.events) {
    if (n.code == code) {
      Fire(u.row->name, n.event);
      return 0;
    }
  }
  return kind.notified ? kind.notified(*this, u, code, lParam) : 0;
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
    std::erase(openWindows, w);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
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
        FillRect(dc, &page, pages_.Brush(u.hwnd, background_));
      }
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      auto dc = reinterpret_cast<HDC>(wParam);
      const Unit* u = UnitByHandle(reinterpret_cast<HWND>(lParam));
      SetBkMode(dc, TRANSPARENT);
      if (u && u->row->kind == Kind::TransparentLabel)
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      if (u && u->tab) return reinterpret_cast<LRESULT>(pages_.Brush(u->tab->hwnd, background_));
      return reinterpret_cast<LRESULT>(background_);
    }
    case WM_COMMAND: {
      Unit* u = UnitById(LOWORD(wParam));
      if (!u || reinterpret_cast<HWND>(lParam) != u->hwnd) break;
      Notify(*u, HIWORD(wParam), lParam);
      return 0;
    }
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
      Unit* u = UnitByHandle(hdr->hwndFrom);
      if (!u) break;
      return Notify(*u, hdr->code, lParam);
    }
    case kNotifyLater:
      if (Unit* u = UnitById(static_cast<UINT>(wParam))) Notify(*u, static_cast<UINT>(lParam), 0);
      return 0;
    case WM_TIMER:  // a timer's id is its unit's
      if (Unit* u = UnitById(static_cast<UINT>(wParam))) Notify(*u, WM_TIMER, 0);
      return 0;
    case WM_HOTKEY:  // a hot key's id is its unit's
      if (Unit* u = UnitById(static_cast<UINT>(wParam))) Fire(u->row->name, Event::HotKey);
      return 0;
    case WM_DESTROY:
      for (const UINT id : hotKeys_) UnregisterHotKey(hwnd_, static_cast<int>(id));
      hotKeys_.clear();
      break;
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
