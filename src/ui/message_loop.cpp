#include "ui/message_loop.h"

#include <windows.h>

namespace ui {

int RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return got == 0 ? static_cast<int>(msg.wParam) : 0;
}

}  // namespace ui
