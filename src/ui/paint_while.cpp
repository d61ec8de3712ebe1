#include "ui/paint_while.h"

#include <windows.h>

#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include "ui/guard.h"
#include "ui/scoped.h"

namespace ui {

bool PaintWhile(const std::function<void()>& work) {
  return PaintWhile(std::span(&work, 1));
}

bool PaintWhile(std::span<const std::function<void()>> works) {
  const Handle owned(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const HANDLE done = owned.get();
  std::atomic<bool> ok = true;
  std::atomic<std::size_t> running = works.size();
  const auto run = [&](std::size_t i) {
    if (!Guarded(works[i])) ok = false;
    if (--running == 0 && done) SetEvent(done);
  };
  std::vector<std::thread> workers;
  workers.reserve(works.size());
  for (std::size_t i = 0; i < works.size(); ++i) {
    // Without an event to wait for, or without a thread: work here, unpainted.
    if (!done) {
      run(i);
      continue;
    }
    try {
      workers.emplace_back(run, i);
    } catch (const std::system_error&) {
      run(i);
    }
  }
  // Paint messages only: input, timers and posted messages wait for the
  // handler's end. A wait that fails leaves the joins to wait, unpainted.
  while (done && running > 0 &&
         MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_PAINT) == WAIT_OBJECT_0 + 1) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // the loop's, not ours
        break;
      }
      DispatchMessageW(&msg);
    }
  }
  for (std::thread& worker : workers) worker.join();
  return ok;
}

}  // namespace ui
