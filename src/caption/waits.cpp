#include "caption/waits.h"

#include <windows.h>

namespace caption {

bool DispatchPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void PumpWait(int ms) {
  if (ms <= 0) return;
  const DWORD start = GetTickCount();
  bool dispatching = true;
  // Unsigned difference: right across the counter's wrap after 49 days.
  while (GetTickCount() - start <= static_cast<DWORD>(ms)) {
    // After a quit the pending quit would only be taken and posted again.
    if (dispatching) dispatching = DispatchPendingMessages();
  }
}

bool TimerWait(int ms) {
  if (ms <= 0) return true;

  // A waitable timer keeps the due time exact however many messages wake us.
  HANDLE timer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
  LARGE_INTEGER due;
  due.QuadPart = -10000LL * ms;  // relative, in units of 100 ns
  if (timer && !SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
    CloseHandle(timer);
    timer = nullptr;
  }

  // Without a timer the tick count decides when the time is up.
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(ms);
  bool dispatching = true;
  for (;;) {
    DWORD timeout = INFINITE;
    if (!timer) {
      const ULONGLONG now = GetTickCount64();
      if (now >= deadline) break;
      timeout = static_cast<DWORD>(deadline - now);
    }
    // Once a quit is pending it would wake every wait at once; from then on
    // only the time counts.
    const DWORD wake = dispatching ? QS_ALLINPUT : 0;
    const DWORD count = timer ? 1 : 0;
    const DWORD result = MsgWaitForMultipleObjects(count, &timer, FALSE, timeout, wake);
    if (timer && result == WAIT_OBJECT_0) break;
    if (result == WAIT_OBJECT_0 + count) {
      dispatching = DispatchPendingMessages();
    } else if (result == WAIT_FAILED && timer) {
      // A wait that fails would fail again at once: go on by the tick count.
      CloseHandle(timer);
      timer = nullptr;
    }
  }
  if (timer) CloseHandle(timer);
  return true;
}

}  // namespace caption
