// Windows as data: one row per unit, one table per window, and the bindings of
// events to handlers. Platform-free, so the tables can be checked natively.
#pragma once

#include <span>
#include <string_view>

namespace ui {

enum class Kind {
  Label,
  TransparentLabel,  // a label drawn without its own background
  Edit,
  Button,
  CheckBox,
  GroupBox,
  Tab,          // a tab control; `items` are its page titles
  FileList,     // the files of one directory matching `text` (a pattern)
  ReportList,   // rows under titled columns (`items`, with widths)
  ImageButton,  // a 32 x 32 icon beside its text
  Canvas,
  Timer,  // not visual; `interval` in milliseconds, 0 = stopped
  ProgressBar,
  Hyperlink,
  Picture,
  WebView,  // never shown; requests the address in `text` once
};

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

// A report list's column (title and width; width 0 holds data out of sight)
// or a tab control's page (title).
struct Item {
  std::string_view title;
  int width = 0;
};

enum class Border { Default, None, Single };

struct UnitRow {
  std::string_view name;
  Kind kind;
  std::string_view in = {};  // containing unit; empty for the window's client area
  int page = 0;         // the tab page (1-based) when `in` is a tab control
  Rect rect = {};       // outer rectangle relative to the container
  std::string_view text = {};
  bool visible = true;
  std::span<const Item> items = {};
  int interval = 0;
  Border border = Border::Default;
  unsigned background = 0xFFFFFF;  // a canvas's colour, 0x00BBGGRR
};

enum class Frame {
  FixedWithCaption,  // a normal frame the user cannot resize
  Popup,             // no border and no caption
};

struct MenuItem {
  std::string_view title;
};

struct WindowLayout {
  std::string_view name;  // "main", "drag-icon", "update": how bindings name it
  std::string_view caption = {};
  Rect rect = {};  // outer frame on the screen
  Frame frame = Frame::FixedWithCaption;
  std::span<const UnitRow> units = {};
  std::span<const MenuItem> menu = {};  // items defined but not shown as a menu bar
  unsigned background = 0xFFFFFFFFu;    // 0x00BBGGRR, or the system's dialog colour
  bool endsLoop = false;                // closing it ends the message loop (the main window)
};

enum class Event {
  Created,
  Activated,
  LeftButtonDown,
  Clicked,
  CurrentFileChanged,
  DoubleClicked,
  CurrentRowChanged,
  Tick,
  HotKey,  // a global hot key registered for the unit (Window::RegisterHotKey)
};

using Handler = void (*)();

struct Binding {
  std::string_view window;
  std::string_view unit;  // empty for the window itself
  Event event;
  Handler handler;
};

}  // namespace ui
