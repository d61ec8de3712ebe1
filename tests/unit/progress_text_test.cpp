#include "update/progress_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(FormatSize, PicksTheUnitAndAtMostTwoDecimals) {
  EXPECT_EQ(update::FormatSize(0), "0");
  EXPECT_EQ(update::FormatSize(-5), "-5");
  EXPECT_EQ(update::FormatSize(1024), "1KB");
  EXPECT_EQ(update::FormatSize(1536), "1.5KB");
  EXPECT_EQ(update::FormatSize(1048575), "1024KB");
  EXPECT_EQ(update::FormatSize(1234567), "1.18MB");
  EXPECT_EQ(update::FormatSize(1610612736), "1.5GB");
  EXPECT_EQ(update::FormatSize(3221225472), "3GB");
  EXPECT_EQ(update::FormatSize(std::numeric_limits<std::int64_t>::max()), "8589934592GB");
}

TEST(Percent, RoundsHalfAwayAndIsZeroWithoutATotal) {
  EXPECT_EQ(update::Percent(1, 200), 1);
  EXPECT_EQ(update::Percent(1, 3), 33);
  EXPECT_EQ(update::Percent(5, 0), 0);
  EXPECT_EQ(update::Percent(5, -1), 0);
}

TEST(ElapsedClock, SecondsAndMinutesRunOneToSixty) {
  update::ElapsedClock clock;
  for (int i = 0; i < 60; ++i) clock.Tick();
  EXPECT_EQ(update::ElapsedLabel(clock), "已用时间：0小时0分钟60秒");
  clock.Tick();
  EXPECT_EQ(update::ElapsedLabel(clock), "已用时间：0小时1分钟1秒");
  for (int i = 61; i < 3660; ++i) clock.Tick();
  EXPECT_EQ(update::ElapsedLabel(clock), "已用时间：0小时60分钟60秒");
  clock.Tick();
  EXPECT_EQ(update::ElapsedLabel(clock), "已用时间：1小时1分钟1秒");
}

TEST(Remaining, SplitsWholeSeconds) {
  EXPECT_EQ(update::RemainingLabel(update::Remaining(3725, 0, 1)), "剩余时间：1时2分5秒");
  EXPECT_EQ(update::RemainingLabel(update::Remaining(1000, 0, 3)), "剩余时间：0时5分33秒");
  EXPECT_EQ(update::RemainingLabel(update::Remaining(3600, 1, 1)), "剩余时间：0时59分59秒");
  EXPECT_EQ(update::RemainingLabel(update::Remaining(2147483647, 0, 1)), "剩余时间：596523时14分7秒");
  EXPECT_EQ(update::RemainingLabel(update::Remaining(1e12, 0, 1)), "剩余时间：596523时14分7秒");
}

TEST(Remaining, IsZeroWhenItMeansNothing) {
  EXPECT_EQ(update::RemainingLabel(update::Remaining(0, 0, 100)), "剩余时间：0时0分0秒");
  EXPECT_EQ(update::RemainingLabel(update::Remaining(100, 0, 0)), "剩余时间：0时0分0秒");
  EXPECT_EQ(update::RemainingLabel(update::Remaining(100, 200, 10)), "剩余时间：0时0分0秒");
}

TEST(Labels, AreTheWindowTexts) {
  EXPECT_EQ(update::ProgressLabel(512, 1024), "正在下载...已完成：50%");
  EXPECT_EQ(update::ProgressLabel(512, 0), "正在下载...已完成：0%");
  EXPECT_EQ(update::SpeedLabel(1536), "下载速度：1.5KB/秒");
  EXPECT_EQ(update::ReceivedLabel(1536, 3145728.9), "已经下载：1.5KB/3MB");
  EXPECT_EQ(update::ReceivedLabel(0, 0), "已经下载：0/0");
}

}  // namespace
