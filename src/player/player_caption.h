// The song a Winamp-compatible player names in its window caption, typically
// "123. Artist - Title - Winamp", while paused "... - Winamp [Paused]".
#pragma once

#include <string>
#include <string_view>

namespace player {

struct CaptionSong {
  std::string title, artist;  // GBK
};

// Drops the player's name with what follows it and the playlist number, then
// splits at the first " - ": the artist before it, the title after it (no
// " - ": all of it is the title). An idle player's "Winamp 5.66" names no song.
CaptionSong SongFromCaption(std::string_view caption);

}  // namespace player
