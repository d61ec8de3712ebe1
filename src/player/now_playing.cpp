#include "player/now_playing.h"

#include <algorithm>

namespace player {

std::int64_t NowPlaying::PositionAt(Clock::time_point now) const {
  if (!position_known) return 0;
  SongClock clock;
  clock.Set(position_ms, stamp, status == Status::Playing, rate);
  std::int64_t position = clock.PositionAt(now);
  if (length_ms >= 0) position = std::min(position, length_ms);
  return std::max<std::int64_t>(position, 0);
}

}  // namespace player
