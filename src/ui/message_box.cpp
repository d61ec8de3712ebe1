#include "ui/message_box.h"

#include <windows.h>

#include "ui/wide.h"

namespace ui {

Answer ShowMessage(std::string_view text, std::string_view title, MessageStyle style) {
  UINT type = style.buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
  if (style.icon == Icon::Information) type |= MB_ICONINFORMATION;
  if (style.icon == Icon::Stop) type |= MB_ICONSTOP;
  if (style.taskModal) type |= MB_TASKMODAL;
  const HWND owner = style.taskModal ? nullptr : GetActiveWindow();
  const int answer = MessageBoxW(owner, Wide(text).c_str(), Wide(title.empty() ? "Lyrimark" : title).c_str(), type);
  return answer == IDYES ? Answer::Yes : answer == IDNO ? Answer::No : Answer::Ok;
}

}  // namespace ui
