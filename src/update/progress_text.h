// The texts of the update window's progress labels.
#pragma once

#include <cstdint>
#include <string>

namespace update {

// 1536 -> "1.5KB", 1000 -> "1000B", 0 -> "0": B, KB, MB or GB with at most two
// decimals; zero and negative counts are written plainly without a unit.
std::string FormatSize(std::int64_t bytes);

// received / total as a percentage rounded half away from zero; 0 while the
// total is unknown (0) rather than a meaningless quotient.
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

// Time left for `total - received` bytes at `rate` bytes per second, split
// into hours, minutes and seconds; all zero when the rate or the total is 0.
Duration Remaining(double total, double received, double rate);

}  // namespace update
