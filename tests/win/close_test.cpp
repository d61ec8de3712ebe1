// Closing the main window whatever the program waits for: every wait ends at
// once, each handler finds the window gone, and the message loop ends within
// about a second; nothing aborts on the way.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "app/startup.h"
#include "forms/layouts.h"
#include "forms/main_form.h"
#include "forms/program.h"
#include "lyrics/library.h"
#include "lyrimark/config.h"
#include "net/fetch_page.h"
#include "ui/message_loop.h"
#include "ui/win32.h"
#include "win/dialog_watch.h"
#include "win/lyrics_window.h"
#include "win/stand_in_player.h"
#include "win/window_test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<Clock::rep> g_closedAt{0};

// The user's close, as the title bar's button gives it; the moment is kept.
void CloseMain(HWND main) {
  g_closedAt = Clock::now().time_since_epoch().count();
  PostMessageW(main, WM_CLOSE, 0, 0);
}

double MsSinceClose() {
  return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch() -
                                                   Clock::duration(g_closedAt.load()))
      .count();
}

// The target field, in this thread: what the program delivers to it is
// handled inside the program's waits. It closes the main window when a given
// byte arrives, or when its timer fires.
class Closer {
 public:
  Closer() {
    hwnd_ = CreateWindowW(ui::RegisterWindowClass(L"LyrimarkCloseTest", Proc), L"", WS_OVERLAPPED, 0, 0, 10,
                          10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~Closer() { DestroyWindow(hwnd_); }
  std::string HandleText() const { return ui::HandleText(hwnd_); }
  static void OnByte(char b) { byte_ = b; }
  void After(int ms) const { SetTimer(hwnd_, 1, static_cast<UINT>(ms), nullptr); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg == WM_CHAR && byte_ && wParam == static_cast<unsigned char>(byte_)) || msg == WM_TIMER) {
      KillTimer(hwnd, 1);
      byte_ = 0;
      if (forms::MainOpen()) CloseMain(forms::main::Window().hwnd());
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  static inline char byte_ = 0;
  HWND hwnd_ = nullptr;
};

// A loop that never ends fails the test instead of hanging it.
class Deadline {
 public:
  Deadline() : timer_(SetTimer(nullptr, 0, 20000, GiveUp)) {}
  ~Deadline() { KillTimer(nullptr, timer_); }

 private:
  static void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); }
  UINT_PTR timer_;
};

void Click(const char* button) {
  const ui::Unit& u = forms::main::Window().unit(button);
  PostMessageW(forms::main::Window().hwnd(), WM_COMMAND, MAKEWPARAM(u.id, BN_CLICKED),
               reinterpret_cast<LPARAM>(u.hwnd));
}

void Set(const char* unit, const std::string& text) {
  forms::main::Window().Get<ui::Edit>(unit).SetText(text);
}

class CloseInsideAWait : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    songs_ = std::make_unique<wintest::SongFolder>("lyrimark-关闭");
    songs_->Write("两行.lrc", {"[00:00.10]甲", "[10:00.00]乙"});
    songs_->Write("一行.lrc", {"[00:00.00]甲"});
  }
  static void TearDownTestSuite() { songs_.reset(); }

  void SetUp() override {
    g_closedAt = 0;
    ASSERT_NE(wintest::OpenMainWindow(), nullptr);
    Set("编辑框_窗口句柄", closer_.HandleText());
    Set("编辑框1", songs_->path());
    lyrics::RefreshLyricsFolder();
  }
  void TearDown() override {
    if (forms::MainOpen()) forms::main::Window().Close();
  }

  // Runs the program's loop until the close has ended it.
  void ExpectTheLoopEndsSoonAfterTheClose() {
    {
      const Deadline deadline;
      EXPECT_EQ(ui::RunMessageLoop(), 0) << "the loop never ended";
    }
    ASSERT_NE(g_closedAt.load(), 0) << "the main window was never closed";
    EXPECT_LT(MsSinceClose(), 1000);
    EXPECT_FALSE(forms::MainOpen());
  }

  Closer closer_;
  static inline std::unique_ptr<wintest::SongFolder> songs_;
};

TEST_F(CloseInsideAWait, TheScrollersPause) {
  Set("编辑框2", "滚动");
  Set("编辑框3", "2147483647");  // 24.8 days
  closer_.After(300);
  Click("按钮1");
  ExpectTheLoopEndsSoonAfterTheClose();
}

TEST_F(CloseInsideAWait, TheAdvertBoardsPauseAndDelivery) {
  forms::main::超级列表框1().AddRow("广告");
  Set("编辑框5", "2147483647");
  closer_.After(300);
  Click("按钮5");
  ExpectTheLoopEndsSoonAfterTheClose();

  // Inside the wait of a row's delivery.
  ASSERT_NE(wintest::OpenMainWindow(), nullptr);
  forms::main::超级列表框1().AddRow("X");
  Set("编辑框_窗口句柄", closer_.HandleText());
  Closer::OnByte('X');
  Click("按钮5");
  ExpectTheLoopEndsSoonAfterTheClose();
}

TEST_F(CloseInsideAWait, PlaybackBetweenLines) {
  ASSERT_TRUE(wintest::ChooseFile("两行.lrc"));
  closer_.After(500);  // after the first line, long before the second
  Click("超级按钮4");
  ExpectTheLoopEndsSoonAfterTheClose();
}

// The end of a song gives the nickname back; the close comes inside that
// delivery's pause, and the tick must not look for its list afterwards.
TEST_F(CloseInsideAWait, TheNicknameRestoreAtTheEndOfASong) {
  forms::main::选择框1().SetChecked(true);
  Set("编辑框6", "N");
  ASSERT_TRUE(wintest::ChooseFile("一行.lrc"));
  Closer::OnByte('N');
  Click("超级按钮4");
  ExpectTheLoopEndsSoonAfterTheClose();
}

// A close already waiting when a file is picked runs inside the pick's handler.
TEST_F(CloseInsideAWait, ALyricsFilePickedWithACloseWaiting) {
  CloseMain(forms::main::Window().hwnd());
  ASSERT_TRUE(wintest::ChooseFile("一行.lrc"));
  EXPECT_FALSE(forms::MainOpen());
  ExpectTheLoopEndsSoonAfterTheClose();
}

// Following a player: the close ends the loop, and the exit the reading of
// the player, within about a second of the close.
TEST_F(CloseInsideAWait, FollowingAPlayer) {
  wintest::StandInPlayer player;
  ASSERT_TRUE(player.started());
  ASSERT_TRUE(player.Do(L"song 1|佚名|两行|600000"));
  forms::main::选择框_跟随播放().SetChecked(true);
  Click("选择框_跟随播放");
  closer_.After(700);  // after the first line, while the player is read
  ExpectTheLoopEndsSoonAfterTheClose();
  app::ExitCleanup();
  EXPECT_LT(MsSinceClose(), 1000);
}

// The search's message box runs a loop of its own.
TEST_F(CloseInsideAWait, TheSearchsMessage) {
  const HWND main = forms::main::Window().hwnd();
  wintest::DialogWatch watch([main](HWND) { CloseMain(main); });
  Set("欲搜索内容", "A+B 无");  // the site finds nothing
  Click("搜索歌词");
  ExpectTheLoopEndsSoonAfterTheClose();
  EXPECT_EQ(watch.Seen().size(), 1u);
}

// The update question comes while the main window is being made, before it
// shows and before the loop runs: the close ends the question and the start.
TEST(CloseDuringStartUp, TheUpdateQuestion) {
  ASSERT_NE(net::FetchPage(LYRIMARK_HOME_URL "_control/announce?variant=prompts"), "");
  g_closedAt = 0;
  {
    wintest::DialogWatch watch([](HWND) { CloseMain(FindWindowW(L"LyrimarkWindow", nullptr)); });
    const Deadline deadline;
    EXPECT_EQ(ui::Window::Open(forms::kMainLayout, app::Bindings()), nullptr);
    EXPECT_LT(MsSinceClose(), 1000);
    EXPECT_EQ(watch.Seen().size(), 1u);
  }
  EXPECT_NE(g_closedAt.load(), 0);
  EXPECT_FALSE(forms::MainOpen());
  // The quit is on its way to the program's loop.
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  net::FetchPage(LYRIMARK_HOME_URL "_control/announce?variant=runs");
}

}  // namespace
