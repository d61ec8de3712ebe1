#include "player/song_clock.h"

#include <algorithm>
#include <cmath>

namespace player {

namespace {

// Players report their position to the millisecond, some every few seconds
// with a stamp of when it held; two readings of one steady playback stay far
// closer than this, while a seek by hand moves by seconds.
constexpr std::int64_t kSeekMs = 1000;

double MsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

void SongClock::Set(std::int64_t position_ms, Clock::time_point at, bool running, double rate) {
  position_ms_ = position_ms;
  anchor_ = at;
  running_ = running;
  rate_ = rate > 0 ? rate : 1.0;
}

void SongClock::SetRunning(bool running, Clock::time_point now) {
  if (running != running_) Set(PositionAt(now), now, running, rate_);
}

std::int64_t SongClock::PositionAt(Clock::time_point now) const {
  if (!running_) return position_ms_;
  return position_ms_ + static_cast<std::int64_t>(MsBetween(anchor_, now) * rate_);
}

std::int64_t SongClock::MsUntil(std::int64_t position_ms, Clock::time_point now) const {
  if (!running_) return position_ms <= position_ms_ ? 0 : -1;
  const double song_ms = static_cast<double>(position_ms - position_ms_) - MsBetween(anchor_, now) * rate_;
  return song_ms <= 0 ? 0 : static_cast<std::int64_t>(std::ceil(song_ms / rate_));
}

std::int32_t LineAt(const std::vector<std::int32_t>& times, std::int64_t position_ms) {
  const auto after = std::upper_bound(times.begin(), times.end(), position_ms,
                                      [](std::int64_t p, std::int32_t t) { return p < t; });
  return static_cast<std::int32_t>(after - times.begin());
}

bool IsSeek(std::int64_t expected_ms, std::int64_t reported_ms) {
  return std::abs(reported_ms - expected_ms) > kSeekMs;
}

}  // namespace player
