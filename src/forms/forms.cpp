// Opening and finding the program's three windows.
#include "forms/drag_icon_form.h"
#include "forms/layouts.h"
#include "forms/main_form.h"
#include "forms/program.h"
#include "forms/update_form.h"

namespace forms {

namespace {

ui::Window& Existing(const ui::WindowLayout& layout) {
  ui::Window* w = ui::Window::Find(layout.name);
  if (!w) throw WindowGone(std::string(layout.name) + " window is gone");
  return *w;
}

}  // namespace

ui::Window* OpenMain(std::span<const ui::Binding> bindings) {
  return ui::Window::Open(kMainLayout, bindings);
}

bool MainOpen() {
  return ui::Window::Find(kMainLayout.name) != nullptr;
}

ui::Window& main::Window() {
  return Existing(kMainLayout);
}

ui::Window* DragIcon() {
  return ui::Window::Find(kDragIconLayout.name);
}

void OpenDragIcon() {
  ui::Window& main = main::Window();
  ui::Window::Open(kDragIconLayout, main.bindings(), main.hwnd());
}

ui::Window& drag_icon::Window() {
  return Existing(kDragIconLayout);
}

ui::Window* UpdateWindow() {
  return ui::Window::Find(kUpdateLayout.name);
}

void OpenUpdateWindowModal() {
  if (ui::Window* w = ui::Window::Open(kUpdateLayout, main::Window().bindings())) {
    w->Show();
    w->RunUntilClosed();
  }
}

ui::Window& update::Window() {
  return Existing(kUpdateLayout);
}

}  // namespace forms
