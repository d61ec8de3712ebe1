// The update window that shows the download's progress.
#pragma once

#include "forms/layouts.h"
#include "forms/main_form.h"
#include "forms/unit_accessor.h"

namespace forms {

// The update window while it is open, else nullptr.
inline ui::Window* UpdateWindow() {
  return ui::Window::Find(kUpdateLayout.name);
}
// Opens the update window, bound as the main window is, without an owner, and
// runs it modally. The first update window closes the main window: a second
// one (the user closed the first and took the offered update) opens all the same.
inline void OpenUpdateWindowModal() {
  if (ui::Window* w = ui::Window::Open(kUpdateLayout, ProgramBindings())) {
    w->Show();
    w->RunUntilClosed();
  }
}

namespace update {

// The open update window; throws WindowGone without it.
inline ui::Window& Window() {
  return Existing(kUpdateLayout);
}

#define LYRIMARK_UPDATE_UNITS(X) \
  X(ui::ProgressBar, 进度条)     \
  X(ui::Label, 下载进度)         \
  X(ui::Label, 下载速度)         \
  X(ui::Label, 已经下载)         \
  X(ui::Label, 已用时间)         \
  X(ui::Label, 剩余时间)         \
  X(ui::Timer, 时钟)             \
  X(ui::Button, 按钮1)
LYRIMARK_UPDATE_UNITS(LYRIMARK_UNIT_ACCESSOR)

}  // namespace update
}  // namespace forms
