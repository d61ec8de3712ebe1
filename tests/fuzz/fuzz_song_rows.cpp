// The way of a lyrics file from its bytes to the rows of 超级列表框_歌词, on
// arbitrary bytes: it must not crash, a file taken for GBK must stay as it
// is, and every row must say what its line says.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lyrics/song_rows.h"
#include "require.h"
#include "text/lyrics_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string text = text::LyricsText(bytes);
  if (text::DecideLyricsEncoding(bytes) == text::LyricsEncoding::kGbk)
    Require(text == bytes, "a GBK file changed");
  lyrics::SongLyrics song;
  std::vector<ui::Row> rows;
  if (!lyrics::ReadSong(text, song, rows)) {
    Require(song.count == 0 && rows.empty(), "a failed load left lines or rows");
    return 0;
  }
  Require(song.count >= 0 && static_cast<std::size_t>(song.count) == rows.size(), "rows and lines disagree");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ui::Row& row = rows[i];
    Require(row.cells.size() == 2, "a row without its two cells");
    Require(row.cells[0] == std::to_string(song.times[i]), "a row's time is not its line's");
    Require(row.cells[1] == song.texts[i] && !row.cells[1].empty(), "a row's lyric is not its line's");
    Require(row.data == static_cast<long>(i + 1), "a row's item data is not its line number");
  }
  return 0;
}
