// The input hook under Wine: its slots, and real clicks made with xdotool on
// the X display, over the stand-in target (another program's window).
#include "finder/input_hook.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "app/startup.h"
#include "ui/win32.h"
#include "win/window_test_support.h"

namespace {

using finder::HOOK类;
using finder::InputHook;

struct Call {
  UINT message;
  std::int32_t window, x, y;
};
std::vector<Call> g_calls;

template <UINT kMessage>
void CALLBACK Record(std::int32_t window, std::int32_t x, std::int32_t y) {
  g_calls.push_back({kMessage, window, x, y});
}

void CALLBACK RecordAndFail(std::int32_t window, std::int32_t x, std::int32_t y) {
  Record<WM_LBUTTONUP>(window, x, y);
  throw std::bad_alloc();
}

// Dispatches this thread's messages, which is when the hook's procedures run,
// until `done` or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

void Xdotool(const std::wstring& arguments) {
  ASSERT_TRUE(test::Xdotool(arguments));
}

// The stand-in target this tree builds, reached through Wine's drive Z:.
std::wstring ExePath() {
  std::wstring path = L"Z:" LYRIMARK_TARGET_EXE;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

// The stand-in target, started for the test and ended by its process handle.
class Target {
 public:
  Target() {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    log_ = std::wstring(dir) + L"hook_test_target_" + std::to_wstring(GetCurrentProcessId()) + L".log";
    std::wstring command = L"\"" + ExePath() + L"\" \"" + log_ + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &process_)) {
      return;
    }
    PumpUntil([this] { return ReadHandle(); }, 20000);
  }
  ~Target() {
    if (process_.hProcess) {
      TerminateProcess(process_.hProcess, 0);
      WaitForSingleObject(process_.hProcess, 10000);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
  }
  HWND field() const { return field_; }
  // The middle of the field on the screen.
  POINT Centre() const {
    RECT r;
    GetWindowRect(field_, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

 private:
  bool ReadHandle() {
    HANDLE f = CreateFileW((log_ + L".hwnd").c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    char text[32] = {};
    DWORD got = 0;
    ReadFile(f, text, sizeof text - 1, &got, nullptr);
    CloseHandle(f);
    field_ = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::atoi(text)));
    return IsWindow(field_);
  }
  std::wstring log_;
  PROCESS_INFORMATION process_{};
  HWND field_ = nullptr;
};

std::wstring At(POINT p) {
  return L"mousemove " + std::to_wstring(p.x) + L" " + std::to_wstring(p.y);
}

class InputHookTest : public testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    InputHook.emplace();
  }
  void TearDown() override { InputHook.reset(); }
};

TEST_F(InputHookTest, SlotsAndTheInstalledHook) {
  HOOK类& hook = *InputHook;
  EXPECT_TRUE(hook.ClearInputHandlers());  // none installed: still true
  EXPECT_FALSE(hook.Installed());

  EXPECT_FALSE(hook.SetInputHandler(Record<WM_MOUSEMOVE>, WM_MOUSEMOVE));  // no slot
  EXPECT_FALSE(hook.SetInputHandler(Record<WM_LBUTTONDBLCLK>, WM_LBUTTONDBLCLK + 0x100));
  EXPECT_FALSE(hook.Installed());

  EXPECT_TRUE(hook.SetInputHandler(Record<WM_LBUTTONUP>, WM_LBUTTONUP));
  EXPECT_TRUE(hook.Installed());
  EXPECT_FALSE(hook.SetInputHandler(Record<WM_LBUTTONUP>, WM_LBUTTONUP));  // the same handler again
  EXPECT_TRUE(hook.SetInputHandler(Record<WM_KEYDOWN>, WM_KEYDOWN));

  EXPECT_FALSE(hook.ClearInputHandlers(WM_MOUSEMOVE));
  EXPECT_TRUE(hook.ClearInputHandlers(WM_LBUTTONUP));
  EXPECT_TRUE(hook.Installed());                       // the key slot still holds a handler
  EXPECT_TRUE(hook.ClearInputHandlers(WM_LBUTTONUP));  // an empty slot
  EXPECT_TRUE(hook.Installed());
  EXPECT_TRUE(hook.ClearInputHandlers(WM_KEYDOWN));
  EXPECT_FALSE(hook.Installed());

  // Cleared slots take their handler again, and the hook with it.
  EXPECT_TRUE(hook.SetInputHandler(Record<WM_LBUTTONUP>, WM_LBUTTONUP));
  EXPECT_TRUE(hook.Installed());
  EXPECT_TRUE(hook.ClearInputHandlers());
  EXPECT_FALSE(hook.Installed());
}

TEST_F(InputHookTest, AReleaseOverAnotherProgramReachesTheHandlerWithItsWindow) {
  Target target;
  ASSERT_TRUE(target.field()) << "the stand-in target did not start";
  ASSERT_TRUE(InputHook->SetInputHandler(Record<WM_LBUTTONUP>, WM_LBUTTONUP));
  const POINT p = target.Centre();
  Xdotool(At(p) + L" click 1");
  ASSERT_TRUE(PumpUntil([] { return !g_calls.empty(); }, 10000)) << "no release reported";
  ASSERT_EQ(g_calls.size(), 1u);  // the press has no handler
  EXPECT_EQ(g_calls[0].message, static_cast<UINT>(WM_LBUTTONUP));
  EXPECT_EQ(g_calls[0].window, ui::HandleValue(target.field()));
  EXPECT_EQ(g_calls[0].x, p.x);
  EXPECT_EQ(g_calls[0].y, p.y);
}

// A handler that fails by an exception inside the hook procedure is an
// operation that failed: the program and the hook go on.
TEST_F(InputHookTest, AHandlerThatFailsLeavesTheHookWorking) {
  Target target;
  ASSERT_TRUE(target.field());
  ASSERT_TRUE(InputHook->SetInputHandler(RecordAndFail, WM_LBUTTONUP));
  ASSERT_TRUE(InputHook->SetInputHandler(Record<WM_RBUTTONUP>, WM_RBUTTONUP));
  Xdotool(At(target.Centre()) + L" click 1 sleep 0.3 click 3");
  ASSERT_TRUE(PumpUntil([] { return g_calls.size() >= 2; }, 10000));
  EXPECT_EQ(g_calls[0].message, static_cast<UINT>(WM_LBUTTONUP));
  EXPECT_EQ(g_calls[1].message, static_cast<UINT>(WM_RBUTTONUP));
}

TEST_F(InputHookTest, APressSoonAfterAReleaseIsADoubleClick) {
  Target target;
  ASSERT_TRUE(target.field());
  ASSERT_TRUE(InputHook->SetInputHandler(Record<WM_LBUTTONDOWN>, WM_LBUTTONDOWN));
  ASSERT_TRUE(InputHook->SetInputHandler(Record<WM_LBUTTONDBLCLK>, WM_LBUTTONDBLCLK));
  const auto presses = [] {
    int n = 0;
    for (const Call& c : g_calls) n += c.message == WM_LBUTTONDOWN;
    return n;
  };

  // Well clear of any release an earlier test made.
  PumpUntil([] { return false; }, 600);
  // Two clicks 150 ms apart: the second press runs the press handler, then the double-click one.
  Xdotool(At(target.Centre()) + L" click --repeat 2 --delay 150 1");
  ASSERT_TRUE(PumpUntil([&] { return g_calls.size() >= 3; }, 10000));
  PumpUntil([] { return false; }, 300);
  ASSERT_EQ(g_calls.size(), 3u);
  EXPECT_EQ(g_calls[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(g_calls[1].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(g_calls[2].message, static_cast<UINT>(WM_LBUTTONDBLCLK));
  EXPECT_EQ(g_calls[2].window, g_calls[1].window);

  // Two clicks 800 ms apart, the first well after the last release: no double click.
  PumpUntil([] { return false; }, 600);
  g_calls.clear();
  Xdotool(At(target.Centre()) + L" click --repeat 2 --delay 800 1");
  ASSERT_TRUE(PumpUntil([&] { return presses() >= 2; }, 10000));
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(g_calls.size(), 2u);
}

TEST_F(InputHookTest, TheExitRoutineRemovesAHookADragLeft) {
  Target target;
  ASSERT_TRUE(target.field());
  ASSERT_TRUE(InputHook->SetInputHandler(Record<WM_LBUTTONUP>, WM_LBUTTONUP));
  app::ExitCleanup();
  EXPECT_FALSE(InputHook.has_value());

  // A release now reaches no handler. A second hook, which hears only the
  // right button, shows when the left click has been through the system. Both
  // clicks come from one xdotool, in order, over the target: a click over no
  // window of Wine's never reaches a hook.
  HOOK类 witness;
  ASSERT_TRUE(witness.SetInputHandler(Record<WM_RBUTTONUP>, WM_RBUTTONUP));
  Xdotool(At(target.Centre()) + L" click 1 sleep 0.3 click 3");
  ASSERT_TRUE(PumpUntil([] { return !g_calls.empty(); }, 10000));
  PumpUntil([] { return false; }, 200);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].message, static_cast<UINT>(WM_RBUTTONUP));
  witness.ClearInputHandlers();
}

}  // namespace
