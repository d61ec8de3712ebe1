#include "ui/paint_while.h"

#include <windows.h>

#include <system_error>
#include <thread>

#include "ui/guard.h"
#include "ui/scoped.h"

namespace ui {

bool PaintWhile(const std::function<void()>& work) {
  const Handle owned(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const HANDLE done = owned.get();
  if (!done) return Guarded(work);  // no way to wait for a thread: work here, unpainted
  bool ok = false;
  std::thread worker;
  try {
    worker = std::thread([&] {
      ok = Guarded(work);
      SetEvent(done);
    });
  } catch (const std::system_error&) {
    return Guarded(work);
  }
  // Paint messages only: input, timers and posted messages wait for the
  // handler's end. A wait that fails leaves the join to wait, unpainted.
  while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_PAINT) == WAIT_OBJECT_0 + 1) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // the loop's, not ours
        break;
      }
      DispatchMessageW(&msg);
    }
  }
  worker.join();
  return ok;
}

}  // namespace ui
