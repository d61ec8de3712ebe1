#include "player/now_playing.h"

#include <algorithm>

namespace player {

std::int64_t NowPlaying::PositionAt(Clock::time_point now) const {
  if (!position_known) return 0;
  std::int64_t position = position_ms;
  if (status == Status::Playing) {
    const double elapsed_ms = std::chrono::duration<double, std::milli>(now - stamp).count();
    position += static_cast<std::int64_t>(elapsed_ms * rate);
  }
  if (length_ms >= 0) position = std::min(position, length_ms);
  return std::max<std::int64_t>(position, 0);
}

}  // namespace player
