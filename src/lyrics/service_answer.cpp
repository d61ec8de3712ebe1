#include "lyrics/service_answer.h"

#include <nlohmann/json.hpp>

#include "lyrics/search_page.h"
#include "text/convert.h"

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

}  // namespace

std::string ServiceSearchAddress(std::string_view baseAddress, std::string_view gbkWords) {
  return std::string(baseAddress) + "/api/search?q=" + EncodeQueryValue(gbkWords);
}

std::vector<ServiceTrack> ReadServiceAnswer(std::string_view body) {
  if (body.size() > kServiceAnswerLimit) return {};
  // Entries past the first kServiceTracks are dropped as they are read, so a
  // long answer of small values builds no large tree.
  std::size_t entries = 0;
  const Json::parser_callback_t keep = [&entries](int depth, Json::parse_event_t event, Json&) {
    const bool starts =
        event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start;
    if (starts && depth > kMaxDepth) throw TooDeep{};
    if (depth == 1 && (starts || event == Json::parse_event_t::value)) return ++entries <= kServiceTracks;
    return true;
  };
  std::vector<ServiceTrack> tracks;
  // The answer comes from outside: a parse error, a number beyond range, too
  // deep a nesting or a full memory fails this source, and nothing else.
  try {
    const Json answer = Json::parse(body.begin(), body.end(), keep);
    if (!answer.is_array()) return {};
    for (const Json& entry : answer) {
      ServiceTrack track;
      if (ReadTrack(entry, track)) tracks.push_back(std::move(track));
    }
  } catch (...) {
    return {};
  }
  return tracks;
}

std::string WithCrLf(std::string_view utf8Lyrics) {
  std::string out;
  out.reserve(utf8Lyrics.size() + utf8Lyrics.size() / 16);
  for (std::size_t i = 0; i < utf8Lyrics.size(); ++i) {
    const char c = utf8Lyrics[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < utf8Lyrics.size() && utf8Lyrics[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

std::string ServicePreviewText(const ServiceTrack& track) {
  return text::Utf8ToGbk(WithCrLf(track.lyrics));
}

std::string ServiceLyricsFile(const ServiceTrack& track) {
  return "\xEF\xBB\xBF" + WithCrLf(track.lyrics);
}

}  // namespace lyrics
