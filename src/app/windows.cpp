#include "app/windows.h"

#include <cstdlib>

#include "app/layouts.h"
#include "ui/wide.h"

namespace app {

ui::Window& Main() {
  ui::Window* w = ui::Window::Find(kMainLayout.name);
  if (!w) std::abort();  // a handler of the main window ran without it
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
  return ui::Narrow(path);
}

void EndProcess(int code) { std::exit(code); }

}  // namespace app
