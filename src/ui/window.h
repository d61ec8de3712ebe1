// A top-level window built from its layout table, with its units, and the
// dispatch of their events through the binding table.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/layout.h"
#include "ui/row.h"

namespace ui {

// One unit of a window as created from its row.
struct Unit {
  const UnitRow* row = nullptr;
  HWND hwnd = nullptr;         // the control; for a timer, the window that owns it
  UINT id = 0;                 // control id, or timer id
  POINT origin{};              // top-left corner in the window's client area
  const Unit* tab = nullptr;   // the tab control whose page holds the unit, if any
  int page = 0;                // that page, 1-based
  int interval = 0;            // timers: milliseconds, 0 = stopped
  int reportedRow = -1;        // report lists: the current row last reported
  std::vector<Row> rows;       // report lists: the rows, which the list shows as it needs them
  std::string directory;       // file lists: the directory listed
};

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

  std::string Caption() const;
  void SetCaption(std::string_view gbk) const;
  void Show() const;
  void Close() const;  // destroys the window
  void SetTopmost(bool topmost) const;

  // Runs a message loop until this window is gone: a modal window without an owner.
  void RunUntilClosed() const;

 private:
  Window(const WindowLayout& layout, std::span<const Binding> bindings);
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void CreateUnits();
  void CreateUnit(Unit& u, int index);
  Unit* UnitById(UINT id);
  Unit* UnitByHandle(HWND hwnd);
  void ShowPage(const Unit& tab) const;
  HBRUSH PageBrush(const Unit& tab);
  void CheckCurrentRow(Unit& list);
  // Runs the handler bound to the event, if any. The handler may destroy this
  // window, so nothing may touch `this` after a Fire.
  void Fire(std::string_view unitName, Event event) const;

  const WindowLayout& layout_;
  std::span<const Binding> bindings_;
  std::vector<Unit> units_;
  HWND hwnd_ = nullptr;
  HBRUSH background_ = nullptr;
  HBRUSH pageBrush_ = nullptr;  // the colour of the tab pages, made when first needed
  bool measuringPage_ = false;
  HMENU menu_ = nullptr;
};

// The font of every unit: SimSun 9 pt where the system has it, else a font
// that covers Chinese, else the default GUI font.
HFONT UnitFont();

// Messages the window sends itself.
constexpr UINT kCanvasPressed = WM_APP + 1;    // wParam: the canvas
constexpr UINT kCheckCurrentRow = WM_APP + 2;  // wParam: the report list's id

}  // namespace ui
