// LRC lyrics text to timed lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lyrics {

// One parsed song: a timed line per time tag, ordered by time, and the ID tags.
struct SongLyrics {
  std::int32_t count = 0;  // number of time tags = entries of times and texts
  std::string title, artist, album, author;
  std::int32_t offset = 0;  // stored only; it shifts no time
  std::vector<std::int32_t> times;  // milliseconds
  std::vector<std::string> texts;   // GBK lyric text of each timed line
};

// Fills `song` from LRC text (GBK, CR LF line ends); the text ends at its
// first zero byte. Returns false only for a time tag without minutes or
// seconds, which no tag found in the text can be; `song` is then left empty.
bool ParseLyrics(std::string_view text, SongLyrics& song);

}  // namespace lyrics
