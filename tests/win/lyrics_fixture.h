// The main window pointed at the stand-in target and at a folder of songs, as
// the lyrics tests use it, and the target's log read as the lines written.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/main_form.h"
#include "forms/program.h"
#include "lyrics/library.h"
#include "win/expected_delivery.h"
#include "win/lyrics_window.h"
#include "win/stand_in_target.h"
#include "win/target_deliveries.h"
#include "win/window_test_support.h"

namespace wintest {

inline const std::string kNickname = "小明的马甲";

// A suite starts the target and its song folder in SetUpTestSuite (StartSuite)
// and writes its songs there; each test gets a fresh main window with the
// target picked, the nickname typed and to be given back, and the folder open.
class LyricsFixture : public testing::Test {
 protected:
  static void StartSuite(std::string_view folder) {
    target_ = std::make_unique<StandInTarget>();
    songs_ = std::make_unique<SongFolder>(folder);
  }
  static void TearDownTestSuite() {
    target_.reset();
    songs_.reset();
  }

  void SetUp() override {
    ASSERT_TRUE(target_->started());
    ASSERT_NE(OpenMainWindow(), nullptr);
    forms::main::编辑框_窗口句柄().SetText(target_->handle_text());
    forms::main::编辑框6().SetText(kNickname);
    forms::main::选择框1().SetChecked(true);
    forms::main::编辑框1().SetText(songs_->path());
    lyrics::RefreshLyricsFolder();
    baseline_ = Settled();
  }
  void TearDown() override {
    if (forms::MainOpen()) forms::main::Window().Close();
    test::Pump(20);
  }

  // How many input messages the field has taken, once no more arrive.
  static std::size_t Settled() {
    std::size_t count = target_->WaitForInputMessages(0, 0).size();
    for (int quiet = 0, waited = 0; quiet < 200 && waited < 3000; waited += 50) {
      test::Pump(50);
      const std::size_t now = target_->WaitForInputMessages(0, 0).size();
      quiet = now == count ? quiet + 50 : 0;
      count = now;
    }
    return count;
  }
  std::vector<LoggedMessage> Log() const {
    auto log = target_->WaitForInputMessages(0, 0);
    log.erase(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(std::min(baseline_, log.size())));
    return log;
  }
  std::vector<Delivery> Written() const { return SplitDeliveries(Log()); }
  // Until `n` lines have come in whole.
  bool PumpUntilWritten(std::size_t n, int timeout_ms) const {
    return test::PumpUntil(
        [&] {
          const auto written = Written();
          return written.size() >= n && written[n - 1].typed;
        },
        timeout_ms);
  }
  // Marks a moment on the target's clock: a pointer passing over the field.
  static void MarkStart() { PostMessageA(target_->field(), WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)); }
  static bool IsStartMark(const LoggedMessage& m) {
    return m.input == InputMessage{WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)};
  }
  // Until the button reads "播 放" again, with the last delivery's messages in.
  bool PumpUntilIdle(int timeout_ms) const {
    const bool idle = test::PumpUntil([] { return Caption() == "播 放"; }, timeout_ms);
    Settled();
    return idle;
  }

  static void Click(const char* button) {
    SendMessageW(forms::main::Window().unit(button).hwnd, BM_CLICK, 0, 0);
  }
  static std::string Caption() { return forms::main::超级按钮4().Text(); }
  static int Interval() { return forms::main::时钟_歌词播放().Interval(); }
  static ui::ReportList Lines() { return forms::main::超级列表框_歌词(); }
  // A double-click at a point of the lyrics list, as the mouse gives it.
  static void DoubleClickList(POINT p) {
    const HWND list = Lines().hwnd();
    const LPARAM at = MAKELPARAM(p.x, p.y);
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
      PostMessageW(list, m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }
  }
  static POINT RowCentre(int row) {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(Lines().hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  // The messages of these lyrics lines, and of the nickname after them.
  static std::vector<InputMessage> Expected(const std::vector<std::string>& lines, bool nickname) {
    std::vector<InputMessage> all;
    for (const std::string& l : lines) {
      const auto one = ExpectedDelivery(l, 1);
      all.insert(all.end(), one.begin(), one.end());
    }
    if (nickname) {
      const auto one = ExpectedDelivery(kNickname, 0);
      all.insert(all.end(), one.begin(), one.end());
    }
    return all;
  }
  std::vector<InputMessage> Received() const {
    std::vector<InputMessage> got;
    for (const auto& m : Log()) got.push_back(m.input);
    return got;
  }

  static inline std::unique_ptr<StandInTarget> target_;
  static inline std::unique_ptr<SongFolder> songs_;
  std::size_t baseline_ = 0;
};

}  // namespace wintest
