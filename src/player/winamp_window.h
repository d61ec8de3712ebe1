// A player that speaks the Winamp message interface: a top-level window of
// class "Winamp v1.x" that answers WM_USER queries for its state, position and
// song length, and names the song in its caption.
#pragma once

#include <optional>

#include "player/now_playing.h"

namespace player {

// The first such window's song and position (source WinampWindow); none when
// there is no such window or it does not answer at once: each query waits a
// short time at most, and a hung player reads as absent.
std::optional<NowPlaying> ReadWinampWindow();

}  // namespace player
