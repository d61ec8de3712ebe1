#include "lyrics/service_answer.h"

#include <nlohmann/json.hpp>

#include "lyrics/search_page.h"
#include "text/convert.h"
#include "text/lyrics_encoding.h"

namespace lyrics {

namespace {

using Json = nlohmann::json;

// An answer is an array of flat objects. The reader itself needs no stack for
// nesting, but a deep value is no answer, and what is built from it (copies,
// comparisons) would recurse as deep.
constexpr int kMaxDepth = 16;
struct TooDeep {};

// The string a field holds; nothing when the field is missing or no string.
const std::string* StringField(const Json& track, const char* name) {
  const auto it = track.find(name);
  return it != track.end() && it->is_string() ? &it->get_ref<const std::string&>() : nullptr;
}

// The track an entry of the answer stands for, when it is one to list.
bool ReadTrack(const Json& entry, ServiceTrack& track) {
  if (!entry.is_object()) return false;
  const std::string* name = StringField(entry, "trackName");
  const std::string* artist = StringField(entry, "artistName");
  const std::string* synced = StringField(entry, "syncedLyrics");
  const auto instrumental = entry.find("instrumental");
  if (!name || !artist || !synced || synced->empty()) return false;
  if (instrumental != entry.end() && !(instrumental->is_boolean() && !instrumental->get<bool>()))
    return false;
  const std::u16string title = text::Utf8ToUtf16(*name);
  track = {text::Utf16ToGbk(title), text::Utf8ToGbk(*artist), title, *synced};
  return true;
}

// An answer's JSON, or nothing. Entries of an array past the first
// kServiceTracks are dropped as they are read, so a long answer of small
// values builds no large tree.
std::optional<Json> ParseAnswer(std::string_view body) {
  if (body.size() > kServiceAnswerLimit) return std::nullopt;
  bool array = false;
  std::size_t entries = 0;
  const Json::parser_callback_t keep = [&](int depth, Json::parse_event_t event, Json&) {
    const bool starts =
        event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start;
    if (starts && depth > kMaxDepth) throw TooDeep{};
    if (depth == 0 && event == Json::parse_event_t::array_start) array = true;
    if (array && depth == 1 && (starts || event == Json::parse_event_t::value))
      return ++entries <= kServiceTracks;
    return true;
  };
  return Json::parse(body.begin(), body.end(), keep);
}

}  // namespace

std::string ServiceSearchAddress(std::string_view baseAddress, std::string_view gbkWords) {
  return std::string(baseAddress) + "/api/search?q=" + EncodeQueryValue(gbkWords);
}

std::string ServiceSongAddress(std::string_view baseAddress, std::string_view gbkTitle,
                               std::string_view gbkArtist, int seconds) {
  std::string address = std::string(baseAddress) + "/api/get?track_name=" + EncodeQueryValue(gbkTitle) +
                        "&artist_name=" + EncodeQueryValue(gbkArtist);
  if (seconds > 0) address += "&duration=" + std::to_string(seconds);
  return address;
}

// The answer comes from outside: a parse error, a number beyond range, too
// deep a nesting or a full memory fails this source, and nothing else.
std::vector<ServiceTrack> ReadServiceAnswer(std::string_view body) {
  std::vector<ServiceTrack> tracks;
  try {
    const std::optional<Json> answer = ParseAnswer(body);
    if (!answer || !answer->is_array()) return {};
    for (const Json& entry : *answer) {
      ServiceTrack track;
      if (ReadTrack(entry, track)) tracks.push_back(std::move(track));
    }
  } catch (...) {
    return {};
  }
  return tracks;
}

std::optional<ServiceTrack> ReadServiceSong(std::string_view body) {
  try {
    const std::optional<Json> answer = ParseAnswer(body);
    ServiceTrack track;
    if (answer && ReadTrack(*answer, track)) return track;
  } catch (...) {
  }
  return std::nullopt;
}

std::string ServicePreviewText(const ServiceTrack& track) {
  return text::Utf8ToGbk(text::CrLfLineEnds(track.lyrics));
}

std::string ServiceLyricsFile(const ServiceTrack& track) {
  return "\xEF\xBB\xBF" + text::CrLfLineEnds(track.lyrics);
}

}  // namespace lyrics
