#include "player/sources.h"

#include "player/winamp_window.h"

namespace player {

NowPlaying ReadNowPlaying(const MediaSession& media_session) {
  if (std::optional<NowPlaying> session = media_session.Latest()) return std::move(*session);
  if (std::optional<NowPlaying> window = ReadWinampWindow()) return std::move(*window);
  return {};
}

}  // namespace player
