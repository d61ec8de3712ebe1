// The song's clock: where a song is, in milliseconds, at any moment. Playback
// started with "播 放" runs it from 0; following the user's player sets it from
// the player's reports (or, for a player that tells no position, from the song
// change) and stops it while the player pauses. Platform-free.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

namespace player {

using Clock = std::chrono::steady_clock;

class SongClock {
 public:
  // The song is at `position_ms` at the moment `at` and runs on from there at
  // `rate` times real time, or stands.
  void Set(std::int64_t position_ms, Clock::time_point at, bool running, double rate = 1.0);
  // Stops it, or starts it again, where it is at `now`.
  void SetRunning(bool running, Clock::time_point now);
  // The song is at `position_ms` at `now`; it runs (or stands) as before.
  void MoveTo(std::int64_t position_ms, Clock::time_point now) { Set(position_ms, now, running_, rate_); }

  bool running() const { return running_; }
  // Where the song is at `now`, truncated to the millisecond.
  std::int64_t PositionAt(Clock::time_point now) const;
  // Milliseconds from `now` until the song reaches `position_ms`, rounded up,
  // so that a timer armed with them never fires before: 0 when it is there
  // already, -1 while the clock stands short of it.
  std::int64_t MsUntil(std::int64_t position_ms, Clock::time_point now) const;

 private:
  std::int64_t position_ms_ = 0;
  Clock::time_point anchor_{};
  bool running_ = false;
  double rate_ = 1.0;
};

// The number (from 1) of the line current at `position_ms`: the last whose
// time is at most that; 0 before the first. `times` ascend.
std::int32_t LineAt(const std::vector<std::int32_t>& times, std::int64_t position_ms);

// Whether a player that reports `reported_ms` where the song's clock says
// `expected_ms` has been moved to another place (a seek), rather than the two
// clocks drifting apart between reports.
bool IsSeek(std::int64_t expected_ms, std::int64_t reported_ms);

}  // namespace player
