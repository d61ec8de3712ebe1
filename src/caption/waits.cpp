#include "caption/waits.h"

#include <windows.h>

#include <cmath>

#include "caption/stopwatch.h"
#include "ui/scoped.h"

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
  const DWORD start_tick = GetTickCount();
  const Stopwatch watch;
  for (;;) {
    // A quit means the main window is gone: nothing waits for the time then,
    // and whoever waited finds the window gone once the wait returns.
    if (!DispatchPendingMessages()) return;
    // The tick count alone could end the wait at its next step, maybe a
    // fraction of a millisecond away; the stopwatch alone could end it with
    // both closing clicks stamped with the same tick. Wait for both.
    // (Unsigned difference: right across the counter's wrap after 49 days.)
    if (GetTickCount() - start_tick > static_cast<DWORD>(ms) && watch.ElapsedMs() > ms) return;
  }
}

bool TimerWait(int ms) {
  if (ms <= 0) return true;

  // A waitable timer keeps the due time exact however many messages wake us.
  ui::Handle timer(CreateWaitableTimerA(nullptr, FALSE, nullptr));
  LARGE_INTEGER due;
  due.QuadPart = -10000LL * ms;  // relative, in units of 100 ns
  if (timer && !SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE)) timer.reset();

  // Without a timer the stopwatch decides when the time is up.
  const Stopwatch watch;
  for (;;) {
    // A quit ends the wait at once, however long the pause (up to 24.8 days):
    // the main window is gone and the process is to end.
    if (!DispatchPendingMessages()) break;
    DWORD timeout = INFINITE;
    if (!timer) {
      const double left = ms - watch.ElapsedMs();
      if (left <= 0) break;
      timeout = static_cast<DWORD>(std::ceil(left));
    }
    const HANDLE handles[] = {timer.get()};
    const DWORD result = MsgWaitForMultipleObjects(timer ? 1 : 0, handles, FALSE, timeout, QS_ALLINPUT);
    if (timer && result == WAIT_OBJECT_0) break;
    // A wait that fails would fail again at once: go on by the stopwatch.
    if (result == WAIT_FAILED) timer.reset();
  }
  return true;
}

}  // namespace caption
