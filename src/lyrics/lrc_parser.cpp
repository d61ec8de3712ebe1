#include "lyrics/lrc_parser.h"

#include <algorithm>
#include <exception>
#include <random>

#include "lyrics/lrc_order.h"
#include "lyrics/lrc_tags.h"
#include "text/gbk.h"
#include "text/numbers.h"

namespace lyrics {

namespace {

using text::npos;

// The tags grouped by their text: a tag's kind is the first tag with the same
// text. Open addressing over one flat array: a large file has hundreds of
// thousands of tags, and a node per entry would cost more than the rest of
// the parse.
class TagKinds {
 public:
  explicit TagKinds(const std::vector<std::string_view>& tags) : tags_(tags) {
    std::size_t size = 16;
    while (size < tags.size() + tags.size() / 2) size *= 2;
    slots_.resize(size);
  }

  // Kinds are tag numbers, below this.
  std::size_t limit() const { return tags_.size(); }

  // How many different texts the tags added so far have.
  std::size_t count() const { return count_; }

  // FNV-1a from a start drawn once per process, then mixed so that every bit
  // of the state reaches the slot number. Tag texts are the file's to choose:
  // with a fixed start, or with the slot taken from FNV's low bits (which
  // depend only on the start's low bits), a file could be made of tags that
  // land in one run of slots, making every lookup walk it. Callers hash a
  // text once and hand the hash to Prefetch and then to Add or Find.
  static std::size_t Hash(std::string_view s) {
    static const std::uint64_t start = 14695981039346656037u ^ RandomBits();
    std::uint64_t h = start;
    for (const char c : s) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211u;
    h = (h ^ (h >> 33)) * 0xff51afd7ed558ccdu;  // MurmurHash3's finaliser
    h = (h ^ (h >> 33)) * 0xc4ceb9fe1a85ec53u;
    return static_cast<std::size_t>(h ^ (h >> 33));
  }

  // The kind of tags[k] (whose hash is `hash`), which becomes its own kind
  // when its text is new.
  std::size_t Add(std::size_t k, std::size_t hash) {
    Slot& slot = slots_[Probe(tags_[k], hash)];
    if (slot.kind == npos) {
      slot = {hash, k};
      ++count_;
    }
    return slot.kind;
  }

  // Asks for the slot of a hash ahead of its use: a big song's table
  // is far larger than the caches, and waiting for memory is most of a lookup.
  void Prefetch(std::size_t hash) const {
#if defined(__GNUC__)
    __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
#else
    (void)hash;
#endif
  }

  // The kind of the tags with this text, npos when there are none.
  std::size_t Find(std::string_view text, std::size_t hash) const {
    return slots_[Probe(text, hash)].kind;
  }

 private:
  struct Slot {
    std::size_t hash = 0, kind = npos;
  };

  static std::uint64_t RandomBits() {
    try {
      std::random_device device;
      return (static_cast<std::uint64_t>(device()) << 32) ^ device();
    } catch (const std::exception&) {
      return 0;  // no source of randomness: still a working table
    }
  }

  // The slot holding `text`, or the empty one where it belongs. The table is
  // never more than two thirds full, so there always is one.
  std::size_t Probe(std::string_view text, std::size_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.kind == npos || (slot.hash == hash && tags_[slot.kind] == text)) return i;
    }
  }

  const std::vector<std::string_view>& tags_;
  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

// Blank-line markers and ID-tag lines hold no lyrics for a time tag to show.
bool IsLyricLine(std::string_view line) {
  if (line == "*****") return false;
  for (std::string_view id : {"[ar", "[ti", "[al", "[by", "[offset"}) {
    if (text::EqualsIgnoringAsciiCase(line.substr(0, id.size()), id)) return false;
  }
  return true;
}

// For each kind, by tag number, the first line that contains its text (npos
// for none), searched as text::Find does: from character boundaries only. An
// occurrence starts at a '[' and is one of the at most two time tags that can
// start there, so every line is read once however many tags the song has.
std::vector<std::size_t> FirstLines(const TagKinds& kinds, const std::vector<std::string_view>& lines) {
  std::vector<std::size_t> first(kinds.limit(), npos);
  std::size_t missing = kinds.count();
  // Candidates are looked up in batches, in line order, their table slots
  // asked for as they are found: then the lookups wait for memory once a
  // batch instead of once each.
  struct Candidate {
    std::size_t line;
    std::string_view text;
    std::size_t hash;
  };
  std::vector<Candidate> batch;
  const auto lookUp = [&] {
    for (const Candidate& c : batch) {
      const std::size_t kind = kinds.Find(c.text, c.hash);
      if (kind != npos && first[kind] == npos) {
        first[kind] = c.line;
        --missing;
      }
    }
    batch.clear();
  };
  for (std::size_t l = 0; l < lines.size() && missing > 0; ++l) {
    const std::string_view line = lines[l];
    for (std::size_t i = 0; i < line.size(); i += text::CharWidth(line, i)) {
      if (line[i] != '[') continue;
      const lrc::TimeTagEnds ends = lrc::PossibleTimeTagEnds(line, i);
      for (const std::size_t end : {ends.longer, ends.shorter}) {
        if (end == npos) continue;
        const std::string_view candidate = line.substr(i, end - i);
        batch.push_back({l, candidate, TagKinds::Hash(candidate)});
        kinds.Prefetch(batch.back().hash);
      }
    }
    if (batch.size() >= 32) lookUp();
  }
  lookUp();
  return first;
}

// Every record holds its whole line, so a long line tagged many times over
// multiplies: one 10 MB line with 200,000 tags would need 2 TB. Past this the
// parse fails, as it would when memory runs out, instead of exhausting it.
constexpr std::size_t kMaxTextBytes = std::size_t{256} << 20;

// False when the song's texts would exceed kMaxTextBytes.
bool Parse(std::string_view text, SongLyrics& song) {
  std::vector<std::string_view> tags;
  for (lrc::Span tag = lrc::FindTimeTag(text, 0); tag.begin != npos; tag = lrc::FindTimeTag(text, tag.end)) {
    tags.push_back(text.substr(tag.begin, tag.end - tag.begin));
  }
  TagKinds kinds(tags);
  std::vector<std::size_t> hashes(tags.size());
  for (std::size_t k = 0; k < tags.size(); ++k) hashes[k] = TagKinds::Hash(tags[k]);
  std::vector<std::size_t> kind_of(tags.size());
  std::vector<std::int32_t> times(tags.size());
  constexpr std::size_t kAhead = 16;
  for (std::size_t k = 0; k < tags.size(); ++k) {
    if (k + kAhead < tags.size()) kinds.Prefetch(hashes[k + kAhead]);
    kind_of[k] = kinds.Add(k, hashes[k]);
    times[k] = lrc::TimeTagMilliseconds(tags[k]);
  }

  const std::string marked = lrc::MarkBlankLines(text);
  // The lines between CR LF pairs (as text::Split cuts them) that may hold lyrics.
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < marked.size();) {
    const std::size_t end = std::min(text::Find(marked, "\r\n", start), marked.size());
    const std::string_view line = std::string_view(marked).substr(start, end - start);
    if (IsLyricLine(line)) lines.push_back(line);
    start = end + 2;
  }
  // Found for each kind, the first tag of its text; the later tags of that
  // text take the same line.
  std::vector<std::size_t> line_of = FirstLines(kinds, lines);
  for (std::size_t k = 0; k < tags.size(); ++k) line_of[k] = line_of[kind_of[k]];

  // Several tags often share a line (a chorus line carries one per chorus):
  // strip each line once and hand it over to the last record that shows it.
  std::vector<std::size_t> uses(lines.size(), 0);
  for (const std::size_t l : line_of) {
    if (l != npos) ++uses[l];
  }
  std::vector<std::string> stripped(lines.size());
  std::size_t textBytes = 0;
  for (std::size_t l = 0; l < lines.size(); ++l) {
    if (uses[l] == 0) continue;
    stripped[l] = lrc::RemoveTimeTags(lines[l]);
    textBytes += stripped[l].size() * uses[l];
    if (textBytes > kMaxTextBytes) return false;
  }

  // Filled in text order, which keeps a big file's reads sequential.
  song = SongLyrics();
  song.count = static_cast<std::int32_t>(tags.size());
  song.times.resize(tags.size());
  song.texts.resize(tags.size());  // a tag whose text is only in filtered-out lines keeps it empty
  const std::vector<std::size_t> position = lrc::FinalPositions(times);
  for (std::size_t k = 0; k < tags.size(); ++k) {
    song.times[position[k]] = times[k];
    const std::size_t l = line_of[k];
    if (l != npos) song.texts[position[k]] = --uses[l] == 0 ? std::move(stripped[l]) : stripped[l];
  }
  song.title = lrc::IdTagValue(text, "[ti:");
  song.artist = lrc::IdTagValue(text, "[ar:");
  song.album = lrc::IdTagValue(text, "[al:");
  song.author = lrc::IdTagValue(text, "[by:");
  song.offset = text::TruncateToInt32(text::ReadNumber(lrc::IdTagValue(text, "[offset:")));
  return true;
}

}  // namespace

bool ParseLyrics(std::string_view text, SongLyrics& song) {
  // Every tag the scan finds has its minutes and seconds, so only a song too
  // large to hold (a huge file whose lines are long and tagged many times
  // over) can fail, and the caller reports that as a failed parse.
  try {
    if (Parse(text::UpToZero(text), song)) return true;
  } catch (const std::exception&) {
  }
  song = SongLyrics();
  return false;
}

}  // namespace lyrics
