#include "update/progress_text.h"

#include <algorithm>
#include <cmath>

#include "text/numbers.h"

namespace update {

namespace {

// A 32-bit file size at one byte a second needs no more.
constexpr double kLongestWait = 2147483647.0;

}  // namespace

std::string FormatSize(std::int64_t bytes) {
  if (bytes <= 0) return std::to_string(bytes);
  if (bytes < 1024) return std::to_string(bytes) + "B";
  static constexpr struct {
    double size;
    const char* name;
  } kUnits[] = {{1073741824.0, "GB"}, {1048576.0, "MB"}, {1024.0, "KB"}};
  const double n = static_cast<double>(bytes);
  const auto& unit =
      *std::find_if(std::begin(kUnits), std::end(kUnits), [n](auto& u) { return n >= u.size; });
  return text::FormatG13(text::RoundHalfAway(n / unit.size, 2)) + unit.name;
}

std::int32_t Percent(double received, double total) {
  if (!(total > 0)) return 0;
  return text::TruncateToInt32(text::RoundHalfAway(received / total * 100.0, 0));
}

void ElapsedClock::Tick() {
  if (++seconds > 60) {
    seconds = 1;
    ++minutes;
  }
  if (minutes > 60) {
    minutes = 1;
    ++hours;
  }
}

Duration Remaining(double total, double received, double rate) {
  if (!(total > 0) || !(rate > 0)) return {};
  const double wait = std::floor((total - received) / rate);
  if (!(wait >= 0)) return {};
  const auto seconds = static_cast<std::int32_t>(std::min(wait, kLongestWait));
  return {seconds / 3600, seconds / 60 % 60, seconds % 60};
}

std::string ProgressLabel(double received, double total) {
  return "正在下载...已完成：" + std::to_string(Percent(received, total)) + "%";
}

std::string SpeedLabel(std::int64_t bytesLastSecond) {
  return "下载速度：" + FormatSize(bytesLastSecond) + "/秒";
}

std::string ReceivedLabel(std::int64_t received, double total) {
  return "已经下载：" + FormatSize(received) + "/" + FormatSize(static_cast<std::int64_t>(total));
}

std::string ElapsedLabel(const ElapsedClock& clock) {
  return "已用时间：" + std::to_string(clock.hours) + "小时" + std::to_string(clock.minutes) + "分钟" +
         std::to_string(clock.seconds) + "秒";
}

std::string RemainingLabel(const Duration& left) {
  return "剩余时间：" + std::to_string(left.hours) + "时" + std::to_string(left.minutes) + "分" +
         std::to_string(left.seconds) + "秒";
}

}  // namespace update
