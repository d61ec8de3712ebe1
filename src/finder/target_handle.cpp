#include "finder/target_handle.h"

#include "forms/main_form.h"
#include "text/numbers.h"
#include "ui/win32.h"

namespace finder {

std::optional<HWND> TargetHandle() {
  const std::string text = forms::main::编辑框_窗口句柄().Text();
  if (text.empty()) return std::nullopt;
  return ReadTargetHandle(text);
}

void SetTargetHandle(std::optional<HWND> window) {
  forms::main::编辑框_窗口句柄().SetText(window ? ui::HandleText(*window) : "");
}

HWND ReadTargetHandle(std::string_view text) {
  return ui::HandleWindow(text::TruncateToInt32(text::ReadNumber(text)));
}

}  // namespace finder
