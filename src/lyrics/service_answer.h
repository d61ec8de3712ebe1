// The synced-lyrics service's side of the online search: its search address,
// its JSON answer read into tracks, and a track's lyrics as a preview and as
// the file that is saved. The service speaks UTF-8; the list shows GBK.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lyrics {

// An answer longer than this is refused, not read: the service's own answers
// are at most 20 tracks of a few KB each.
constexpr std::size_t kServiceAnswerLimit = 16u << 20;
// Tracks taken from the front of an answer; the rest are not even built.
constexpr std::size_t kServiceTracks = 20;

// The search address for the words (GBK) on the service at `baseAddress`:
// <base>/api/search?q=<the words' UTF-8, percent-encoded as for the site>.
std::string ServiceSearchAddress(std::string_view baseAddress, std::string_view gbkWords);
// The address that asks the service for one song by its title and artist
// (GBK) and, when it is known (> 0), its length in whole seconds:
// <base>/api/get?track_name=..&artist_name=..[&duration=..].
std::string ServiceSongAddress(std::string_view baseAddress, std::string_view gbkTitle,
                               std::string_view gbkArtist, int seconds);

struct ServiceTrack {
  std::string song;      // trackName in GBK, '?' for what GBK lacks: the list's 歌曲
  std::string singer;    // artistName in GBK: the list's 歌手
  std::u16string title;  // trackName whole: the name the lyrics are saved under
  std::string lyrics;    // syncedLyrics, UTF-8 as given
};

// The tracks of an answer body that carry synced lyrics, in order, from the
// answer's first kServiceTracks entries. Instrumental tracks, tracks with
// plain lyrics only and tracks with a field of the wrong type are left out.
// A body that is no JSON array, is longer than kServiceAnswerLimit, nests
// deeper than an answer does or holds a number beyond range gives none.
std::vector<ServiceTrack> ReadServiceAnswer(std::string_view body);
// The track of an answer to the song address, one JSON object, when it
// carries synced lyrics; read with the same bounds.
std::optional<ServiceTrack> ReadServiceSong(std::string_view body);

// The text 预备下载内容 and the preview show of a track: GBK, CR LF lines.
std::string ServicePreviewText(const ServiceTrack& track);

// The bytes of the file a track's lyrics are saved as: UTF-8 with a byte-order
// mark, so no character GBK lacks is lost, and CR LF lines.
std::string ServiceLyricsFile(const ServiceTrack& track);

}  // namespace lyrics
