// The main window as handlers reach it: the window, and each unit they use.
#pragma once

#include <span>

#include "forms/layouts.h"
#include "forms/unit_accessor.h"
#include "ui/canvas.h"

namespace forms {

// The binding table of the program's windows, as OpenMain was given it. The
// update window takes it too, and may open after the main window has gone.
inline std::span<const ui::Binding>& ProgramBindings() {
  static std::span<const ui::Binding> bindings;
  return bindings;
}
// Opens the main window from its layout with the binding table of the
// program's windows; the windows it opens take the same table. nullptr when
// its created event ended its use (the start-up check may close it).
inline ui::Window* OpenMain(std::span<const ui::Binding> bindings) {
  ProgramBindings() = bindings;
  return ui::Window::Open(kMainLayout, bindings);
}
// Whether the main window still exists: loops that wait inside a handler check
// it, since the user may close the window meanwhile.
inline bool MainOpen() {
  return ui::Window::Find(kMainLayout.name) != nullptr;
}

namespace main {

// The main window: it exists from start-up until the user closes it (or an
// update does); throws WindowGone without it.
inline ui::Window& Window() {
  return Existing(kMainLayout);
}

#define LYRIMARK_MAIN_UNITS(X)       \
  X(ui::Canvas, 画板_捕获器)         \
  X(ui::CheckBox, 选择框1)           \
  X(ui::Edit, 编辑框6)               \
  X(ui::FileList, 文件框1)           \
  X(ui::Button, 超级按钮4)           \
  X(ui::ReportList, 超级列表框_歌词) \
  X(ui::Edit, 编辑框1)               \
  X(ui::Edit, 欲搜索内容)            \
  X(ui::ReportList, 欲下载列表)      \
  X(ui::ReportList, 歌词预览)        \
  X(ui::Edit, 编辑框2)               \
  X(ui::Button, 按钮1)               \
  X(ui::Edit, 编辑框3)               \
  X(ui::ReportList, 超级列表框1)     \
  X(ui::Edit, 编辑框4)               \
  X(ui::Button, 按钮5)               \
  X(ui::Edit, 编辑框5)               \
  X(ui::Edit, 编辑框_窗口句柄)       \
  X(ui::Edit, 编辑框_鼠标位置_X)     \
  X(ui::Edit, 编辑框_鼠标位置_Y)     \
  X(ui::Edit, 编辑框_窗口鼠标位置_X) \
  X(ui::Edit, 编辑框_窗口鼠标位置_Y) \
  X(ui::Label, 透明标签1)            \
  X(ui::Edit, 预备下载内容)          \
  X(ui::Timer, 时钟_歌词播放)        \
  X(ui::CheckBox, 选择框_跟随播放)   \
  X(ui::Label, 标签_播放器)          \
  X(ui::Label, 标签_当前歌曲)        \
  X(ui::CheckBox, 选择框_自动下载)   \
  X(ui::Label, 标签_偏移)            \
  X(ui::Label, 标签_热键)            \
  X(ui::Timer, 时钟_跟随)
LYRIMARK_MAIN_UNITS(LYRIMARK_UNIT_ACCESSOR)

}  // namespace main
}  // namespace forms
