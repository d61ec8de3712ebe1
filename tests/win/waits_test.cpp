// The two waits: how long they last and what runs inside them.
#include "caption/waits.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <functional>
#include <new>
#include <thread>

#include "ui/paint_while.h"
#include "ui/win32.h"

namespace {

using caption::PumpWait;
using caption::TimerWait;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A window with a real button: handlers count the button's clicks and WM_APP.
class Waits : public testing::Test {
 protected:
  void SetUp() override {
    clicks = handled = 0;
    window = CreateWindowW(ui::RegisterWindowClass(L"WaitsTest", Proc), L"", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                           100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    button = CreateWindowW(L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE, 10, 10, 80, 30, window, nullptr, nullptr,
                           nullptr);
    Drain();
  }
  void TearDown() override {
    DestroyWindow(window);
    Drain();
  }
  static void Drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) ++clicks;
    if (message == WM_APP) ++handled;
    if (message == WM_PAINT) ++painted;
    if (message == WM_TIMER) {
      KillTimer(hwnd, wparam);
      PostQuitMessage(9);
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

  HWND window = nullptr, button = nullptr;
  static inline int clicks = 0, handled = 0;
  static inline std::atomic<int> painted = 0;
};

TEST_F(Waits, ZeroOrNegativeReturnAtOnceWithoutDispatching) {
  PostMessageW(window, WM_APP, 0, 0);
  const auto start = Clock::now();
  EXPECT_TRUE(TimerWait(0));
  EXPECT_TRUE(TimerWait(-5));
  PumpWait(0);
  PumpWait(-1);
  EXPECT_LT(MsSince(start), 100);
  EXPECT_EQ(handled, 0);
}

TEST_F(Waits, TimerWaitLastsItsTimeAndRunsAClickMadeMeanwhile) {
  // Another thread clicks the button and sends the window a message.
  std::thread user([this] {
    Sleep(100);
    PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_APP, 0, 0, SMTO_NORMAL, 5000, &result);
  });
  const auto start = Clock::now();
  EXPECT_TRUE(TimerWait(500));
  const double waited = MsSince(start);
  user.join();
  EXPECT_GE(waited, 500);
  EXPECT_LT(waited, 5000);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(handled, 1);
}

// The tick counter moves in steps of about 16 ms, so "more than 10 ms on the
// tick counter" alone can pass in a fraction of a millisecond. The pause must
// last on both clocks, whatever the counter's phase when it starts.
TEST_F(Waits, PumpWaitLastsMoreThanItsTimeOnTheTickCounterAndInFact) {
  for (int phase = 0; phase < 16; phase += 3) {
    SCOPED_TRACE(testing::Message() << "started " << phase << " ms after a sleep");
    Sleep(20);
    for (const auto busy = Clock::now(); MsSince(busy) < phase;) {
    }
    PostMessageW(window, WM_APP, 0, 0);
    const DWORD start_tick = GetTickCount();
    const auto start = Clock::now();
    PumpWait(10);
    EXPECT_GT(GetTickCount() - start_tick, 10u);
    EXPECT_GE(MsSince(start), 10.0);
  }
  EXPECT_EQ(handled, 6);
}

// A quit means the main window is gone: a wait ends at once, however long
// it was to last, runs what was posted before the quit, and passes the quit on
// to the loop outside it.
TEST_F(Waits, EndAtOnceOnAQuitAndPassItOn) {
  auto quit_code = [] {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? static_cast<int>(msg.wParam) : -1;
  };
  const auto start = Clock::now();
  PostMessageW(window, WM_APP, 0, 0);
  PostQuitMessage(7);
  EXPECT_TRUE(TimerWait(INT_MAX));  // 24.8 days
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(quit_code(), 7);

  PostQuitMessage(8);
  PumpWait(INT_MAX);
  EXPECT_EQ(quit_code(), 8);

  // A quit that comes while the wait sleeps.
  SetTimer(window, 1, 100, nullptr);
  EXPECT_TRUE(TimerWait(INT_MAX));
  EXPECT_EQ(quit_code(), 9);
  EXPECT_LT(MsSince(start), 2000);

  PostQuitMessage(10);
  EXPECT_FALSE(caption::DispatchPendingMessages());
  EXPECT_EQ(quit_code(), 10);
}

// Long work in a handler runs beside a thread that only paints: the window
// repaints meanwhile, and nothing else runs before the work is done.
TEST_F(Waits, LongWorkLetsTheWindowPaintAndNothingElse) {
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  PostMessageW(window, WM_APP, 0, 0);
  int paintedMeanwhile = 0;
  EXPECT_TRUE(ui::PaintWhile([&] {
    const int before = painted;
    InvalidateRect(window, nullptr, TRUE);
    for (int waited = 0; painted == before && waited < 2000; waited += 10) Sleep(10);
    paintedMeanwhile = painted - before;
  }));
  EXPECT_GE(paintedMeanwhile, 1);
  EXPECT_EQ(handled, 0);
  EXPECT_FALSE(ui::PaintWhile([] { throw std::bad_alloc(); }));
  // Several works run at once: each of these waits for the other to begin.
  std::atomic<int> begun = 0;
  const auto meet = [&] {
    ++begun;
    for (int waited = 0; begun < 2 && waited < 2000; waited += 10) Sleep(10);
    if (begun < 2) throw std::bad_alloc();
  };
  const std::function<void()> both[] = {meet, meet};
  EXPECT_TRUE(ui::PaintWhile(both));
  EXPECT_EQ(handled, 0);
  Drain();
  EXPECT_EQ(handled, 1);
}

}  // namespace
