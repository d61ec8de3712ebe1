// Waits that keep the program's windows responsive: a running caption or a
// delivery stays inside its handler and lets every other event run nested here.
#pragma once

namespace caption {

// Dispatches the messages now waiting in this thread's queue. A WM_QUIT met
// there is posted again, so the loop it was meant for still ends; then it stops
// and returns false.
bool DispatchPendingMessages();

// Dispatches messages in a busy loop until more than `ms` milliseconds have
// passed, on the tick counter and in fact; ms <= 0 returns at once. For the
// short pause inside a delivery, where sleeping would overshoot. A quit (the
// main window closed) ends it at once.
void PumpWait(int ms);

// Sleeps for `ms` milliseconds, waking for every message to dispatch it;
// ms <= 0 returns at once without dispatching. A quit (the main window
// closed) ends it at once. Always true.
bool TimerWait(int ms);

}  // namespace caption
