// What the user's music player plays now, as one of the sources reported it:
// the same snapshot for the system media session and for a Winamp-compatible
// player window, so that following a song does not care which one it came from.
#pragma once

#include <cstdint>
#include <string>

#include "player/song_clock.h"

namespace player {

enum class Source { None, MediaSession, WinampWindow };
enum class Status { Stopped, Playing, Paused };

struct NowPlaying {
  Source source = Source::None;
  std::string title, artist;  // GBK; what GBK lacks is '?'
  Status status = Status::Stopped;
  // Players that publish the song alone (no timeline) leave the position unknown.
  bool position_known = false;
  std::int64_t position_ms = 0;  // the position as of `stamp`
  Clock::time_point stamp{};
  double rate = 1.0;            // playback speed; > 0
  std::int64_t length_ms = -1;  // < 0: unknown

  // The position at `now`: the reported one, moved on by the time since its
  // stamp at the playback rate while playing, and never past a known length.
  // 0 when the position is unknown.
  std::int64_t PositionAt(Clock::time_point now) const;
};

}  // namespace player
