#include "lyrics/song_rows.h"

#include <string>

#include "lyrimark/config.h"

namespace lyrics {

const char kCreditText[] = LYRIMARK_HOME_URL "-提供字幕";

bool ReadSong(std::string_view text, SongLyrics& song, std::vector<ui::Row>& rows) {
  rows.clear();
  if (!ParseLyrics(text, song)) return false;  // which leaves the song empty
  rows.reserve(static_cast<std::size_t>(song.count));
  for (std::size_t i = 0; i < static_cast<std::size_t>(song.count); ++i) {
    std::string& lyric = song.texts[i];
    if (lyric.empty()) lyric = kCreditText;
    rows.push_back({{std::to_string(song.times[i]), lyric}, static_cast<long>(i + 1)});
  }
  return true;
}

}  // namespace lyrics
