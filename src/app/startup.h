// Start-up, exit and the window events that belong to the program as a whole,
// and which handler each event of the program's windows runs.
#pragma once

#include <span>

#include "ui/layout.h"

namespace app {

// The binding table (bindings.cpp); events not listed have no handler.
std::span<const ui::Binding> Bindings();

// The main window exists with its units; runs before it is shown.
void OnMainWindowCreated();
// Every time the main window becomes the active window.
void OnMainWindowActivated();
// The drag-icon window exists: place it at the mouse, show it, start the finder.
void OnDragWindowCreated();
// Opens the maker's home page in the default browser.
void OpenHomePage();
// Runs once when the process ends.
void ExitCleanup();

}  // namespace app
