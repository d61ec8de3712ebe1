#include "ui/message_loop.h"

#include <windows.h>

#include <atomic>

#include "ui/guard.h"
#include "ui/win32.h"

namespace ui {

namespace {

// A message-only window of the user-interface thread; work is posted to it.
constexpr UINT kRun = WM_APP + 1;
std::atomic<HWND> relay = nullptr;

LRESULT CALLBACK RelayProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kRun) {
    Guarded(reinterpret_cast<void (*)()>(wParam));  // a window procedure: nothing may escape it
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int RunMessageLoop(HWND whileOpen) {
  MSG msg;
  while (!whileOpen || IsWindow(whileOpen)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got < 0) return 0;
    if (got == 0) {
      if (whileOpen) PostQuitMessage(static_cast<int>(msg.wParam));
      return static_cast<int>(msg.wParam);
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

bool PrepareUiThread() {
  if (relay) return true;
  relay = CreateWindowExW(0, RegisterWindowClass(L"LyrimarkUiThread", RelayProc), L"", 0, 0, 0, 0, 0,
                          HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
  return relay != nullptr;
}

bool RunOnUiThread(void (*work)()) {
  return relay && PostMessageW(relay, kRun, reinterpret_cast<WPARAM>(work), 0);
}

}  // namespace ui
