// The parser on arbitrary bytes: it must not crash, must keep its record
// consistent, and must agree with the literal reference wherever the regular
// expression library did not give up.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lyrics/lrc_parser.h"
#include "require.h"
#include "unit/lrc_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  lyrics::SongLyrics song;
  Require(lyrics::ParseLyrics(text, song), "the parse failed");
  Require(song.count >= 0 && static_cast<std::size_t>(song.count) == song.times.size() &&
              song.times.size() == song.texts.size(),
          "count, times and texts disagree");
  for (std::size_t i = 1; i < song.times.size(); ++i)
    Require(song.times[i - 1] <= song.times[i], "times not ascending");

  lyrics::SongLyrics expected;
  bool regex_gave_up = false;
  const bool expected_ok = lrc_reference::ParseLyrics(text, expected, regex_gave_up);
  if (regex_gave_up) return 0;
  Require(expected_ok, "the reference failed");
  Require(song.count == expected.count, "count differs from the reference");
  Require(song.times == expected.times, "times differ from the reference");
  Require(song.texts == expected.texts, "texts differ from the reference");
  Require(song.title == expected.title && song.artist == expected.artist && song.album == expected.album &&
              song.author == expected.author,
          "ID values differ from the reference");
  Require(song.offset == expected.offset, "offset differs from the reference");
  return 0;
}
