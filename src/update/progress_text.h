// The texts of the update window's progress labels.
#pragma once

#include <cstdint>
#include <string>

namespace update {

// 1536 -> "1.5KB", 1000 -> "1000B", 0 -> "0": B, KB, MB or GB with at most two
// decimals; zero and negative counts are written plainly without a unit.
std::string FormatSize(std::int64_t bytes);

// received / total as a percentage rounded half away from zero; 0 while the
// total is unknown (0, or negative when the size did not fit the notification)
// rather than a meaningless quotient.
std::int32_t Percent(double received, double total);

// The elapsed-time counters: seconds run 1..60, minutes 0..60 before their first
// wrap and 1..60 after it; ticked once a second.
struct ElapsedClock {
  std::int32_t hours = 0, minutes = 0, seconds = 0;
  void Tick();
};

struct Duration {
  std::int32_t hours = 0, minutes = 0, seconds = 0;
};

// Time left for `total - received` bytes at `rate` bytes per second, whole
// seconds split into hours, minutes and seconds; all zero when the rate or the
// total is 0 or when more than the total has arrived.
Duration Remaining(double total, double received, double rate);

// The five label texts of the update window.
std::string ProgressLabel(double received, double total);        // 正在下载...已完成：42%
std::string SpeedLabel(std::int64_t bytesLastSecond);            // 下载速度：1.5KB/秒
std::string ReceivedLabel(std::int64_t received, double total);  // 已经下载：1.5MB/3MB
std::string ElapsedLabel(const ElapsedClock& clock);             // 已用时间：0小时1分钟1秒
std::string RemainingLabel(const Duration& left);                // 剩余时间：1时2分5秒

}  // namespace update
