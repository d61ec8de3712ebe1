// Which source tells the song that plays now.
#pragma once

#include "player/media_session.h"
#include "player/now_playing.h"

namespace player {

// The first source that has a song, in this order: the system media session's
// current session, a Winamp-compatible player window; else a snapshot of
// Source::None. Never waits long: the session is its latest snapshot, the
// player window answers within short time-outs.
NowPlaying ReadNowPlaying(const MediaSession& media_session);

}  // namespace player
