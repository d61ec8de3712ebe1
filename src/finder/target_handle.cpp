#include "finder/target_handle.h"

#include "finder/target_handle_text.h"
#include "forms/main_form.h"

namespace finder {

std::optional<HWND> TargetHandle() {
  const std::string text = forms::main::编辑框_窗口句柄().Text();
  if (text.empty()) return std::nullopt;
  return TargetWindow(ReadTargetHandle(text));
}

void SetTargetHandle(std::optional<HWND> window) {
  forms::main::编辑框_窗口句柄().SetText(
      window ? WriteTargetHandle(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(*window))) : "");
}

}  // namespace finder
