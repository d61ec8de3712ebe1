// A top-level window built from its layout table, with its units, and the
// dispatch of their events through the binding table.
#pragma once

#include <windows.h>

#include <span>
#include <string_view>
#include <vector>

#include "ui/layout.h"
#include "ui/message_loop.h"
#include "ui/page_colour.h"
#include "ui/scoped.h"
#include "ui/units.h"
#include "ui/wide.h"

namespace ui {

class Window {
 public:
  // Creates the window and its units from `layout`, runs its created event and
  // returns it; nullptr when it no longer exists by then (a created handler may
  // close it). The window is not shown: the created handler or the caller shows it.
  static Window* Open(const WindowLayout& layout, std::span<const Binding> bindings, HWND owner = nullptr);

  // The open window made from the layout of that name, or nullptr.
  static Window* Find(std::string_view layoutName);

  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }
  const WindowLayout& layout() const { return layout_; }
  std::span<const Binding> bindings() const { return bindings_; }
  std::span<Unit> units() { return units_; }

  // The unit of that name; an unknown name is a programming error and ends the program.
  Unit& unit(std::string_view name);
  template <class View>
  View Get(std::string_view name) {
    return View(unit(name));
  }

  void SetCaption(std::string_view gbk) const { SetWindowTextW(hwnd_, Wide(gbk).c_str()); }
  void Show() const { ShowWindow(hwnd_, SW_SHOWNORMAL); }
  void Close() const { DestroyWindow(hwnd_); }
  void SetTopmost(bool topmost) const;

  // A key combination that, pressed anywhere in the system, fires the unit's
  // HotKey event; false when another program (or this one) has taken it. It
  // is given back when the window goes.
  bool RegisterHotKey(std::string_view unitName, UINT modifiers, UINT key);

  // Runs a message loop until this window is gone: a modal window without an owner.
  void RunUntilClosed() const { RunMessageLoop(hwnd_); }

  // For the kinds' notifications (kinds.h). Fire runs the handler bound to
  // the event, if any; the handler may destroy this window, so nothing may
  // touch it after a Fire. NotifyLater has the unit's kind see `code` once
  // the messages queued now are handled.
  void Fire(std::string_view unitName, Event event) const;
  void NotifyLater(const Unit& u, UINT code) const;

 private:
  Window(const WindowLayout& layout, std::span<const Binding> bindings)
      : layout_(layout), bindings_(bindings) {}
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void CreateUnits();
  void CreateUnit(Unit& u, int index);
  Unit* UnitById(UINT id);
  Unit* UnitByHandle(HWND hwnd);
  // Hands a notification to the unit's kind.
  LRESULT Notify(Unit& u, UINT code, LPARAM lParam);

  const WindowLayout& layout_;
  std::span<const Binding> bindings_;
  std::vector<Unit> units_;
  HWND hwnd_ = nullptr;
  Gdi<HBRUSH> ownBackground_;  // the layout's colour, where it has one
  HBRUSH background_ = nullptr;
  PageColour pages_;
  Owned<HMENU, DestroyMenu> menu_;
  std::vector<UINT> hotKeys_;  // the ids of the hot keys registered, which are their units' ids
};

}  // namespace ui
