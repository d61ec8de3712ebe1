// Loading a lyrics file and playing its lines into the target field, each at
// its own time stamp: from "播 放" on the program's own clock, or following
// the user's music player on the player's clock (follow.h reads the player).
#pragma once

#include <cstdint>
#include <string>

#include "lyrics/lrc_parser.h"
#include "player/song_clock.h"

namespace lyrics {

// A file chosen in 文件框1: pauses playback if it runs, else loads and lists
// the file. While following it loads the file as the lyrics of the song that plays.
void LoadLyricsFile();
// 超级按钮4: starts (or resumes) and stops playback; while following, it ends following.
void TogglePlayback();
// The tick of 时钟_歌词播放: writes the pending line and schedules the next.
void LyricsTick();
// A double-click on 超级列表框_歌词 during playback: play on from that line.
void JumpToLine();
// 按钮_提前 / 按钮_推后 and their hot keys: the lyrics come 0.5 s earlier or
// later from now on; the pending line moves at once.
void LyricsEarlier();
void LyricsLater();

// The loaded song and the number of the line the next tick writes (0: not started).
const SongLyrics& LoadedSong();
int CurrentLine();

// For following (follow.cpp). The song's clock then comes from the player; the
// line written is the last one due on it, each once, and the next is
// scheduled on it between the player's reports.

// Loads the file now current in 文件框1 as a choice there does, without a
// word; false when it does not parse (the song is then empty).
bool LoadChosenFile();
// The same for the file at `path`, named `name` (GBK) where a file's name shows.
bool LoadSongFile(const std::wstring& path, const std::string& name);
// Empties the song and its list.
void ClearSong();
// Playback stops as by the stop button (following begins or ends; following is
// on while 选择框_跟随播放 is ticked).
void StopPlayback();
// A new song plays: the old one's playback halts without a word and the offset
// is 0 again. True when the old song was playing.
bool FollowNewSong();
// The player's report for a song with loaded lyrics: it stands at
// `position_ms` at `stamp` and plays on at `rate`, or stands paused. The first
// report starts playback; one far from the song's clock is a seek, whose line
// is written at once.
void FollowSongAt(std::int64_t position_ms, player::Clock::time_point stamp, bool playing, double rate);
// The same for a player that tells no position: the program's clock runs from
// the song's start, and stands while the player pauses.
void FollowSongRunning(bool playing);
// The song or the player has ended: playback ends as after the last line.
void EndFollowedSong();
// Where the followed song is on its clock; -1 while it does not play.
std::int64_t FollowedPosition();

}  // namespace lyrics
