// The lyrics service's answer, from its bytes to the rows, the preview and
// the saved file, on arbitrary bytes: it must not crash, and what it gives
// must keep the answer's bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lyrics/search_page.h"
#include "lyrics/service_answer.h"
#include "pieces.h"
#include "require.h"

namespace {

// The answer's own words, and a whole track, for inputs read as pieces.
// clang-format off
const char* const kPieces[] = {
    "[", "]", "{", "}", ",", ":", "\"trackName\"", "\"artistName\"", "\"syncedLyrics\"", "\"instrumental\"",
    "\"[00:01.00]\\u6c5f\\n\"", "true", "false", "null", "\"\\ud834\\udd1e\"", "1e400", "\"\xE6\xB1\x9F\"",
    "{\"trackName\":\"\xE6\xB1\x9F\",\"artistName\":\"a\",\"instrumental\":false,"
    "\"syncedLyrics\":\"[00:01.00]x\\r\\n\"}"};
// clang-format on

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string body = TextFrom(data, size, kPieces);
  const std::vector<lyrics::ServiceTrack> tracks = lyrics::ReadServiceAnswer(body);
  Require(tracks.size() <= lyrics::kServiceTracks, "more tracks than an answer is read for");
  for (const lyrics::ServiceTrack& track : tracks) {
    Require(!track.lyrics.empty(), "a track listed without synced lyrics");
    const std::string file = lyrics::ServiceLyricsFile(track);
    Require(file.rfind("\xEF\xBB\xBF", 0) == 0, "a saved file without its byte-order mark");
    for (std::size_t i = 0; i < file.size(); ++i) {
      const bool lineEnd = file[i] == '\n' || file[i] == '\r';
      Require(!lineEnd || (file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n') ||
                  (file[i] == '\n' && file[i - 1] == '\r'),
              "a line end in the saved file that is no CR LF");
    }
    lyrics::SplitPreview(lyrics::ServicePreviewText(track));
  }
  return 0;
}
