// A lyrics file as 超级列表框_歌词 lists it: from the file's text to the song
// and its rows. Platform-free, so the whole way from bytes to rows can be
// fuzzed natively.
#pragma once

#include <string_view>
#include <vector>

#include "lyrics/lrc_parser.h"
#include "ui/row.h"

namespace lyrics {

// What the target shows during instrumental gaps.
extern const char kCreditText[];

// Parses `text` into `song`, with every empty lyric replaced by the credit
// text, and gives one row per line: the time in milliseconds, the lyric, and
// the line's number (from 1) as item data. False when the parse fails; both
// are then empty.
bool ReadSong(std::string_view text, SongLyrics& song, std::vector<ui::Row>& rows);

}  // namespace lyrics
