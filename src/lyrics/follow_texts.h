// What the page "跟随播放" says: the player followed and its state, the song
// and where it is, and the offset of the lyrics. Platform-free.
#pragma once

#include <cstdint>
#include <string>

#include "player/now_playing.h"

namespace lyrics {

// Whether the song that plays has lyrics.
enum class SongLyricsState { kFound, kNone, kDownloading };

// For 标签_播放器: "Winamp兼容播放器：正在播放", with "，没有找到歌词" when the
// song has none ("，正在下载歌词" while the lyrics service is asked), or
// "没有找到正在播放的歌曲".
std::string PlayerText(const player::NowPlaying& now, SongLyricsState lyrics);

// For 标签_当前歌曲: "静夜思 - 李白  1:05 / 3:35" (no length: "1:05"; a
// position below 0, not known: no time at all).
std::string SongText(const player::NowPlaying& now, std::int64_t position_ms);

// For 标签_偏移: "偏移：0.5秒" when the lyrics come half a second earlier,
// "偏移：-0.5秒" when later; tenths, truncated toward zero.
std::string OffsetText(std::int32_t offset_ms);

}  // namespace lyrics
