#include "app/windows.h"

#include <cstdlib>

#include "app/layouts.h"
#include "ui/wide.h"

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

namespace {

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  path.resize(path.find_last_of(L"\\/") == std::wstring::npos ? 0 : path.find_last_of(L"\\/"));
  return path;
}

}  // namespace

std::string RunDirectory() {
  return ui::Narrow(ProgramFolder());
}

void EnterRunDirectory() {
  // A drive's root keeps its backslash: "C:" alone means that drive's current folder.
  std::wstring folder = ProgramFolder();
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
  SetCurrentDirectoryW(folder.c_str());
}

void EndProcess(int code) { std::exit(code); }

}  // namespace app
