#include "app/windows.h"

#include <cstdlib>

#include "app/layouts.h"
#include "ui/wide.h"
#include "ui/win32.h"

namespace app {

ui::Window& Main() {
  ui::Window* w = ui::Window::Find(kMainLayout.name);
  // Handlers look again after every wait; one that did not fails here as an
  // operation, at the toolkit's guard, instead of ending the program.
  if (!w) throw MainWindowGone();
  return *w;
}

bool MainOpen() { return ui::Window::Find(kMainLayout.name) != nullptr; }

ui::Window* DragIcon() { return ui::Window::Find(kDragIconLayout.name); }

ui::Window* UpdateWindow() { return ui::Window::Find(kUpdateLayout.name); }

void OpenDragIcon() { ui::Window::Open(kDragIconLayout, Bindings(), Main().hwnd()); }

void OpenUpdateWindowModal() {
  if (ui::Window* w = ui::Window::Open(kUpdateLayout, Bindings())) {
    w->Show();
    w->RunUntilClosed();
  }
}

std::string RunDirectory() {
  return ui::Narrow(ui::ModuleDirectory());
}

void EnterRunDirectory() {
  // A drive's root keeps its backslash: "C:" alone means that drive's current folder.
  std::wstring folder = ui::ModuleDirectory();
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
  SetCurrentDirectoryW(folder.c_str());
}

void EndProcess(int code) { std::exit(code); }

}  // namespace app
