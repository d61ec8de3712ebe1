// Following the song the user's music player plays (the page "跟随播放"): the
// player is read a few times a second; a new song brings its lyrics file from
// the lyrics folder, and the player's clock drives playback (playback.h).
#pragma once

namespace lyrics {

// 选择框_跟随播放 clicked: following starts when it is ticked, ends when not.
void ToggleFollowing();
// The hot key of 选择框_跟随播放: ticks or unticks it, as a click does.
void ToggleFollowingByKey();
// The tick of 时钟_跟随: reads the player and acts on what changed.
void FollowTick();
// Ends following: the check box unticked, the player no longer read, playback
// stopped as the stop button stops it.
void StopFollowing();
// At exit: the player's reading ends (within about a second at most).
void EndPlayerReading();

}  // namespace lyrics
