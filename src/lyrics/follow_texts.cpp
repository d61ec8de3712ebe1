#include "lyrics/follow_texts.h"

#include <cstdlib>

namespace lyrics {

namespace {

std::string Minutes(std::int64_t ms) {
  const std::int64_t seconds = ms / 1000;
  const std::int64_t s = seconds % 60;
  return std::to_string(seconds / 60) + ":" + (s < 10 ? "0" : "") + std::to_string(s);
}

}  // namespace

std::string PlayerText(const player::NowPlaying& now, SongLyricsState lyrics) {
  using player::Status;
  if (now.source == player::Source::None) return "没有找到正在播放的歌曲";
  std::string text = now.source == player::Source::MediaSession ? "系统媒体会话：" : "Winamp兼容播放器：";
  if (now.title.empty()) return text + "没有正在播放的歌曲";
  text += now.status == Status::Playing ? "正在播放" : now.status == Status::Paused ? "已暂停" : "已停止";
  if (now.status != Status::Stopped && !now.position_known) text += "（只报歌名，双击歌词行对齐）";
  if (lyrics == SongLyricsState::kNone) text += "，没有找到歌词";
  if (lyrics == SongLyricsState::kDownloading) text += "，正在下载歌词";
  return text;
}

std::string SongText(const player::NowPlaying& now, std::int64_t position_ms) {
  if (now.source == player::Source::None || now.title.empty()) return {};
  std::string text = now.title;
  if (!now.artist.empty()) text += " - " + now.artist;
  if (position_ms < 0) return text;
  text += "  " + Minutes(position_ms);
  if (now.length_ms >= 0) text += " / " + Minutes(now.length_ms);
  return text;
}

std::string OffsetText(std::int32_t offset_ms) {
  const std::int32_t tenths = offset_ms / 100;
  const std::int32_t magnitude = std::abs(tenths);
  return std::string("偏移：") + (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." +
         std::to_string(magnitude % 10) + "秒";
}

}  // namespace lyrics
