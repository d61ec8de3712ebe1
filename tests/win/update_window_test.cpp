// What the update window shows while its download runs.
#include "update/update_window.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "forms/layouts.h"
#include "ui/units.h"
#include "ui/win32.h"
#include "ui/window.h"
#include "update/downloader.h"
#include "update_site.h"
#include "window_test_support.h"

namespace {

// The window's own bindings but its created event: that one closes the main
// window and reads the compiled-in announcement page.
const ui::Binding kBindings[] = {
    {"update", "按钮1", ui::Event::Clicked, update::BeginDownload},
    {"update", "时钟", ui::Event::Tick, update::ProgressTick},
};

std::string Shown(ui::Window& w, std::string_view unit) {
  return w.Get<ui::Label>(unit).Text();
}

// The number that stands between `prefix` and `suffix` in `text`; -1 when the
// text has another shape.
double Between(const std::string& text, const std::string& prefix, const std::string& suffix) {
  if (text.size() <= prefix.size() + suffix.size() || text.compare(0, prefix.size(), prefix) != 0 ||
      text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return -1;
  }
  const std::string number = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
  return number.find_first_not_of("0123456789.") == std::string::npos ? std::stod(number) : -1;
}

TEST(UpdateWindow, TheLabelsFollowTheDownloadOnceASecond) {
  ASSERT_FALSE(test::MakerSite().empty()) << "run with the local site (with-update-site.sh)";
  // The download goes into the current directory, whose name may hold what GBK lacks.
  const test::ScratchDirectory dir(L"lyrimark-更新・テスト");
  const std::wstring before = ui::CurrentDirectory();
  ASSERT_TRUE(SetCurrentDirectoryW(dir.path().c_str()));
  ui::Window* w = ui::Window::Open(forms::kUpdateLayout, kBindings);
  ASSERT_NE(w, nullptr);
  w->Show();

  // Nothing known yet: zeros, never a quotient of nothing.
  update::State().elapsed = {};
  update::ProgressTick();
  EXPECT_EQ(w->Get<ui::Label>("下载进度").Text(), "正在下载...已完成：0%");
  EXPECT_EQ(w->Get<ui::Label>("已经下载").Text(), "已经下载：0/0");
  EXPECT_EQ(w->Get<ui::Label>("剩余时间").Text(), "剩余时间：0时0分0秒");
  EXPECT_EQ(w->Get<ui::Label>("已用时间").Text(), "已用时间：0小时0分钟1秒");

  // About 100 KB a second over five connections: 1 MB takes ten seconds.
  test::SiteServes("fault=slow&rate=20000");
  const std::string address = test::MakerSite() + "/update/new.exe";
  update::State().source.address = " 　" + address + " ";  // blanks around, the full-width one too
  update::State().source.fileName = "new.exe";
  const ui::Button button = w->Get<ui::Button>("按钮1");
  SendMessageW(button.hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(button.Text(), "正在更新,请稍等.");
  EXPECT_FALSE(button.IsEnabled()) << "one download only";
  EXPECT_EQ(update::State().downloadParameters.address, address);
  EXPECT_EQ(update::State().downloadParameters.localFile, dir / "new.exe");

  std::string amounts[2];
  for (int tick = 0; tick < 2; ++tick) {
    const std::string elapsed = "已用时间：0小时0分钟" + std::to_string(tick + 2) + "秒";
    ASSERT_TRUE(test::PumpUntil([&] { return w->Get<ui::Label>("已用时间").Text() == elapsed; }, 5000));
    amounts[tick] = Shown(*w, "已经下载");
  }
  EXPECT_NE(amounts[0], amounts[1]) << "the amount moves on every second";
  EXPECT_EQ(update::State().totalSize.load(), static_cast<double>(test::UpdateBytes().size()));

  const double percent = Between(Shown(*w, "下载进度"), "正在下载...已完成：", "%");
  EXPECT_GT(percent, 0);
  EXPECT_LT(percent, 100);
  EXPECT_NEAR(w->Get<ui::ProgressBar>("进度条").Position(), percent, 1);
  EXPECT_GT(Between(amounts[1], "已经下载：", "KB/1MB"), 0);
  EXPECT_GT(Between(Shown(*w, "下载速度"), "下载速度：", "KB/秒"), 0);
  const std::string left = Shown(*w, "剩余时间");
  EXPECT_EQ(left.rfind("剩余时间：0时", 0), 0u);
  EXPECT_NE(left, "剩余时间：0时0分0秒");

  update::StopUpdateDownload();
  w->Close();
  SetCurrentDirectoryW(before.c_str());
}

}  // namespace
