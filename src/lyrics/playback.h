// Loading a lyrics file and playing its lines into the target field, each at
// its own time stamp.
#pragma once

#include "lyrics/lrc_parser.h"

namespace lyrics {

// A file chosen in 文件框1: pauses playback if it runs, else loads and lists the file.
void LoadLyricsFile();
// 超级按钮4: starts (or resumes) and stops playback.
void TogglePlayback();
// The tick of 时钟_歌词播放: writes the pending line and schedules the next.
void LyricsTick();
// A double-click on 超级列表框_歌词 during playback: play on from that line.
void JumpToLine();

// The loaded song and the number of the line the next tick writes (0: not started).
const SongLyrics& LoadedSong();
int CurrentLine();

}  // namespace lyrics
