// The program's windows as handlers reach them.
#pragma once

#include <exception>
#include <span>

#include "ui/units.h"
#include "ui/window.h"

namespace app {

// The main window: it exists from start-up until the user closes it (or an
// update does). Throws MainWindowGone without it: a handler that waited must
// check MainOpen() before it touches a unit again.
ui::Window& Main();
struct MainWindowGone : std::exception {
  const char* what() const noexcept override { return "the main window is gone"; }
};
// Whether the main window still exists: loops that wait inside a handler check
// it, since the user may close the window meanwhile.
bool MainOpen();

// Shorthand for a unit of the main window: Unit<ui::Edit>("编辑框6").Text().
template <class View>
View Unit(std::string_view name) {
  return Main().Get<View>(name);
}

// The drag-icon and update windows while they are open, else nullptr.
ui::Window* DragIcon();
ui::Window* UpdateWindow();

// Opens the drag-icon window, owned by the main window.
void OpenDragIcon();
// Opens the update window without an owner and runs it modally.
void OpenUpdateWindowModal();

// The binding of every event to its handler.
std::span<const ui::Binding> Bindings();

// The directory that holds the program file (GBK), without a trailing backslash.
std::string RunDirectory();
// Makes the run directory the current directory, whatever folder the program
// was started from (a shortcut's "Start in", a shell elsewhere): the file list
// shows the current directory and the update is saved there.
void EnterRunDirectory();

// Ends the process with `code`; the exit routine runs.
[[noreturn]] void EndProcess(int code);

}  // namespace app
