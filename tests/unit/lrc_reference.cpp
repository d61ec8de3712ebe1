#include "unit/lrc_reference.h"

#include <boost/regex.hpp>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "text/gbk.h"
#include "text/numbers.h"

namespace lrc_reference {

namespace {

// The C library's classes, so that \s is the same white space on every
// platform whatever the system's locale says about bytes above 0x7F.
using Traits = boost::c_regex_traits<char>;
using Regex = boost::basic_regex<char, Traits>;
using Iterator = boost::regex_iterator<const char*, char, Traits>;
using Results = boost::match_results<const char*>;

const Regex kTimeTag(R"(\[[0-9]*:[0-9]*.[0-9]*\])");
const Regex kBlankRun(R"(^[\s| ]*\r)");
const Regex kMinutes(R"(\[[0-9]*:)");
const Regex kSeconds(R"(:[0-9]*.)");
const Regex kFraction(R"(.[0-9]*\])");
const Regex kTitle(R"(\[ti:\S*\])");
const Regex kArtist(R"(\[ar:\S*\])");
const Regex kAlbum(R"(\[al:\S*\])");
const Regex kAuthor(R"(\[by:\S*\])");
const Regex kOffset(R"(\[offset:\S*\])");

struct Match {
  std::size_t begin, end;
};

// Runs the searches and remembers whether the library ever gave up.
class Searcher {
 public:
  bool gave_up() const { return gave_up_; }

  // All non-overlapping matches from left to right.
  std::vector<Match> All(std::string_view s, const Regex& re) {
    std::vector<Match> matches;
    const char* base = Begin(s);
    try {
      for (Iterator it(base, base + s.size(), re), end; it != end; ++it) {
        const auto begin = static_cast<std::size_t>((*it)[0].first - base);
        matches.push_back({begin, begin + static_cast<std::size_t>((*it)[0].length())});
      }
    } catch (const std::exception&) {
      gave_up_ = true;
    }
    return matches;
  }

  std::optional<Match> First(std::string_view s, const Regex& re) {
    const char* base = Begin(s);
    try {
      Results found;
      if (boost::regex_search(base, base + s.size(), found, re)) {
        const auto begin = static_cast<std::size_t>(found[0].first - base);
        return Match{begin, begin + static_cast<std::size_t>(found[0].length())};
      }
    } catch (const std::exception&) {
      gave_up_ = true;
    }
    return std::nullopt;
  }

  // Every match replaced by `with`, as a replace-all does.
  std::string ReplaceAll(std::string_view s, const Regex& re, std::string_view with) {
    std::string out;
    std::size_t kept = 0;
    for (const Match& m : All(s, re)) {
      out.append(s.substr(kept, m.begin - kept));
      out.append(with);
      kept = m.end;
    }
    out.append(s.substr(kept));
    return out;
  }

 private:
  static const char* Begin(std::string_view s) { return s.empty() ? "" : s.data(); }

  bool gave_up_ = false;
};

std::string Lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool Removed(std::string_view line) {
  const std::string first3 = Lowered(line.substr(0, 3));
  return line == "*****" || first3 == "[ar" || first3 == "[ti" || first3 == "[al" || first3 == "[by" ||
         Lowered(line.substr(0, 7)) == "[offset";
}

// The match without its first `skip` bytes and its last byte; empty when none.
std::string Inner(std::string_view s, const std::optional<Match>& m, std::size_t skip) {
  if (!m) return {};
  return std::string(s.substr(m->begin + skip, m->end - m->begin - skip - 1));
}

struct Record {
  std::int32_t time;
  std::string text;
};

void Insert(std::vector<Record>& list, Record record) {
  const std::size_t m = list.size();
  const auto time = [&](std::size_t position) { return list[position - 1].time; };  // positions from 1
  if (m == 0 || record.time >= time(m)) {
    list.push_back(std::move(record));
    return;
  }
  if (record.time <= time(1)) {
    list.insert(list.begin(), std::move(record));
    return;
  }
  std::size_t lo = 1, hi = m;
  while (hi - lo > 1) {
    const std::size_t mid = (lo + hi) / 2;
    if (time(mid) == record.time) {
      lo = mid;
      break;
    }
    if (record.time < time(mid)) {
      hi = mid;
    } else {
      lo = mid;
    }
  }
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(lo), std::move(record));  // at position lo + 1
}

}  // namespace

bool ParseLyrics(std::string_view input, lyrics::SongLyrics& song, bool& regex_gave_up) {
  song = lyrics::SongLyrics();
  Searcher re;
  const std::string_view text = text::UpToZero(input);

  std::vector<std::string> tags;
  for (const Match& m : re.All(text, kTimeTag)) tags.emplace_back(text.substr(m.begin, m.end - m.begin));

  const std::string marked = re.ReplaceAll(text, kBlankRun, "*****\r\n");
  std::vector<std::string_view> lines;
  for (const std::string_view line : text::Split(marked, "\r\n")) {
    if (!Removed(line)) lines.push_back(line);
  }

  std::vector<Record> list;
  for (const std::string& tag : tags) {
    std::string lyric;  // empty when only filtered-out lines hold the tag
    for (const std::string_view line : lines) {
      if (text::Find(line, tag) != text::npos) {
        lyric = re.ReplaceAll(line, kTimeTag, "");
        break;
      }
    }
    const std::optional<Match> minutes = re.First(tag, kMinutes);
    const std::optional<Match> seconds = re.First(tag, kSeconds);
    const std::optional<Match> fraction = re.First(tag, kFraction);
    if (!minutes || !seconds) {
      song = lyrics::SongLyrics();
      regex_gave_up = re.gave_up();
      return false;
    }
    const double ms = text::ReadNumber(Inner(tag, minutes, 1)) * 60000 +
                      text::ReadNumber(Inner(tag, seconds, 1)) * 1000 +
                      text::ReadNumber(Inner(tag, fraction, 1));
    Insert(list, {text::TruncateToInt32(ms), std::move(lyric)});
  }

  song.title = Inner(text, re.First(text, kTitle), 4);
  song.artist = Inner(text, re.First(text, kArtist), 4);
  song.album = Inner(text, re.First(text, kAlbum), 4);
  song.author = Inner(text, re.First(text, kAuthor), 4);
  song.offset = text::TruncateToInt32(text::ReadNumber(Inner(text, re.First(text, kOffset), 8)));
  song.count = static_cast<std::int32_t>(list.size());
  for (Record& r : list) {
    song.times.push_back(r.time);
    song.texts.push_back(std::move(r.text));
  }
  regex_gave_up = re.gave_up();
  return true;
}

}  // namespace lrc_reference
