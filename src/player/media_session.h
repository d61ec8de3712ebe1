// The system media session's current session (Windows 10 1809 and later): the
// song that the player Windows counts as current, with its timeline. Its calls
// complete on other threads, so it is read on a thread of its own, and the
// user-interface thread only takes the latest snapshot.
#pragma once

#include <memory>
#include <optional>
#include <thread>

#include "player/now_playing.h"

namespace player {

class MediaSession {
 public:
  // Starts reading, a few times a second. Where the system has no media
  // session (Windows 7 and 8), there is never a snapshot.
  MediaSession();
  // Ends the reading within about a second, whatever a call of the session does.
  ~MediaSession();
  MediaSession(const MediaSession&) = delete;
  MediaSession& operator=(const MediaSession&) = delete;

  // The current session as last read (source MediaSession); none while there
  // is none or it could not be read. Never waits for the reading.
  std::optional<NowPlaying> Latest() const;

 private:
  struct Shared;  // outlives a reading thread that overstays its end
  std::shared_ptr<Shared> shared_;
  std::thread reader_;
};

}  // namespace player
