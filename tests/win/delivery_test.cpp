// The delivery sequence as a window of this thread receives it.
#include "caption/delivery.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "caption/waits.h"
#include "finder/target_handle.h"
#include "ui/win32.h"
#include "win/expected_delivery.h"

namespace {

using caption::SendCaption;
using caption::TextKind;
using wintest::ExpectedDelivery;
using wintest::InputMessage;

// A window that keeps every input message it is given. Its class is an ANSI
// one, so a double-byte character reaches it as the two bytes that were posted.
class Recorder {
 public:
  explicit Recorder(const char* class_name = "DeliveryRecorder", const char* title = "",
                    HWND parent = HWND_MESSAGE) {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = Proc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = class_name;
    RegisterClassA(&window_class);  // fails harmlessly when already registered
    const DWORD style = parent && parent != HWND_MESSAGE ? WS_CHILD : 0;
    hwnd_ = CreateWindowA(class_name, title, style, 0, 0, 10, 10, parent, nullptr, window_class.hInstance,
                          nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Recorder() { DestroyWindow(hwnd_); }
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  HWND hwnd() const { return hwnd_; }

  std::vector<InputMessage> messages;
  std::vector<DWORD> times;      // GetMessageTime of each
  std::function<void()> on_app;  // runs on WM_APP

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<Recorder*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    // The waits of this thread translate each posted Backspace key-down into a
    // WM_CHAR 8 of their own; those were not posted. (The stand-in target's
    // test sees another process's field, where nothing translates them.)
    const bool translated = message == WM_CHAR && wparam == VK_BACK;
    if (self && wintest::IsInputMessage(message) && !translated) {
      self->messages.push_back({message, wparam, lparam});
      self->times.push_back(static_cast<DWORD>(GetMessageTime()));
    }
    if (self && message == WM_APP && self->on_app) self->on_app();
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }
  HWND hwnd_;
};

// The last click is still queued when SendCaption returns.
void DeliverAndDrain(HWND target, std::string_view text, TextKind kind = TextKind::kCaption) {
  SendCaption(target, text, kind);
  caption::DispatchPendingMessages();
}

// Each delivery names its window by the handle's text, fraction and all, as
// the program reads it from the handle edit box.
TEST(SendCaption, PostsTheFixedSequenceForCaptionsAndLyricsLines) {
  struct Case {
    std::string text;
    TextKind kind;
    LPARAM char_lparam;
  };
  for (const Case& c : {Case{"中A", TextKind::kCaption, 0}, Case{"中A", TextKind::kLyricsLine, 1},
                        Case{"", TextKind::kCaption, 0}, Case{"", TextKind::kLyricsLine, 1}}) {
    SCOPED_TRACE(testing::Message() << "text of " << c.text.size() << " bytes, char lParam "
                                    << c.char_lparam);
    Recorder recorder;
    const std::string handle_text = ui::HandleText(recorder.hwnd()) + ".9";
    DeliverAndDrain(finder::ReadTargetHandle(handle_text), c.text, c.kind);
    ASSERT_EQ(recorder.messages, ExpectedDelivery(c.text, c.char_lparam));
    const std::size_t second = wintest::SecondClosingClick(c.text);
    EXPECT_GE(recorder.times[second] - recorder.times[second - 1], 10u)
        << "the pause between the closing clicks";
  }
  // 64-bit Windows sign-extends 32-bit handles.
  EXPECT_EQ(reinterpret_cast<INT_PTR>(ui::HandleWindow(-2)), -2);
}

TEST(SendCaption, NestedDeliveryLandsBetweenTheClosingClicks) {
  Recorder recorder;
  int nested = 0;
  // Stands for a stop click or a lyrics tick handled inside the outer delivery's pause.
  recorder.on_app = [&] {
    ++nested;
    SendCaption(recorder.hwnd(), "B");
  };
  PostMessageA(recorder.hwnd(), WM_APP, 0, 0);
  DeliverAndDrain(recorder.hwnd(), "中A");

  EXPECT_EQ(nested, 1);
  const std::vector<InputMessage> outer = ExpectedDelivery("中A", 0);
  const std::vector<InputMessage> inner = ExpectedDelivery("B", 0);
  const auto split = outer.begin() + static_cast<std::ptrdiff_t>(wintest::SecondClosingClick("中A"));
  std::vector<InputMessage> expected(outer.begin(), split);
  expected.insert(expected.end(), inner.begin(), inner.end());
  expected.insert(expected.end(), split, outer.end());
  EXPECT_EQ(recorder.messages, expected);
}

// Handle 0 sends the clicks to the desktop's icon list. Wine has no such desktop,
// so the test builds the window chain the real one has, around a recorder.
TEST(TargetHandle, EmptyTextClicksTheDesktopIconListOrNothing) {
  if (FindWindowA("Progman", "Program Manager")) GTEST_SKIP() << "a real desktop is present";
  const HWND none = finder::ReadTargetHandle("");
  ASSERT_EQ(none, nullptr);

  // Windows of the right classes in the wrong places must never get the clicks.
  Recorder stray_view("SHELLDLL_DefView", "", nullptr);
  Recorder stray_list("SysListView32", "", nullptr);
  SendCaption(none, "中A");
  // Not even into this thread's own queue, where the last click would still wait.
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
  caption::DispatchPendingMessages();

  Recorder progman("Progman", "Program Manager", nullptr);
  DeliverAndDrain(none, "中A");
  EXPECT_TRUE(stray_view.messages.empty());
  EXPECT_TRUE(stray_list.messages.empty());

  Recorder view("SHELLDLL_DefView", "", progman.hwnd());
  Recorder list("SysListView32", "", view.hwnd());
  DeliverAndDrain(none, "中A");
  std::vector<InputMessage> clicks;
  wintest::AppendClick(clicks, 298, 124);
  wintest::AppendClick(clicks, 301, 164);
  wintest::AppendClick(clicks, 301, 164);
  EXPECT_EQ(list.messages, clicks);  // the keys and characters go to no window
  EXPECT_TRUE(progman.messages.empty());
  EXPECT_TRUE(view.messages.empty());
  EXPECT_TRUE(stray_list.messages.empty());
}

}  // namespace
