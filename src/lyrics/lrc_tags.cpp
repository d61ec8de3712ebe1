#include "lyrics/lrc_tags.h"

#include <vector>

#include "text/numbers.h"

namespace lyrics::lrc {

namespace {

using text::npos;

// What a blank line may hold: white space and '|'.
bool IsBlankByte(char c) {
  return text::IsCSpace(c) || c == '|';
}

std::size_t SkipDigits(std::string_view s, std::size_t i) {
  while (i < s.size() && text::IsDigit(s[i])) ++i;
  return i;
}

// A run of digits read like atof. Runs short enough to be exact in a double
// are summed directly: a big file has hundreds of thousands of them.
double DigitsValue(std::string_view digits) {
  if (digits.size() > 15) return text::ReadNumber(digits);
  std::int64_t value = 0;
  for (const char c : digits) value = value * 10 + (c - '0');
  return static_cast<double>(value);
}

// A line starts at the start of the text and after LF, CR or form feed, but
// not between the CR and the LF of a pair.
bool AtLineStart(std::string_view s, std::size_t i) {
  if (i == 0) return true;
  const char before = s[i - 1];
  if (before == '\r') return i == s.size() || s[i] != '\n';
  return before == '\n' || before == '\f';
}

}  // namespace

TimeTagEnds PossibleTimeTagEnds(std::string_view s, std::size_t i) {
  TimeTagEnds ends;
  if (i >= s.size() || s[i] != '[') return ends;
  // The minutes digits can only give way to the ':' when they are all taken.
  const std::size_t colon = SkipDigits(s, i + 1);
  if (colon >= s.size() || s[colon] != ':') return ends;
  const std::size_t seconds = colon + 1;
  const std::size_t after_seconds = SkipDigits(s, seconds);
  if (after_seconds < s.size()) {
    const std::size_t close = SkipDigits(s, after_seconds + 1);
    if (close < s.size() && s[close] == ']') ends.longer = close + 1;
  }
  // Any shorter seconds leaves only digits up to the byte after them, so that
  // byte must be the ']'; all such splits end there.
  if (after_seconds > seconds && after_seconds < s.size() && s[after_seconds] == ']') {
    ends.shorter = after_seconds + 1;
  }
  return ends;
}

Span FindTimeTag(std::string_view s, std::size_t from) {
  // A failed try reads at most up to the byte after the seconds digits and the
  // digits after it, where only that one byte can be another '[': the search
  // stays linear.
  for (std::size_t i = s.find('[', from); i != npos; i = s.find('[', i + 1)) {
    const TimeTagEnds ends = PossibleTimeTagEnds(s, i);
    const std::size_t end = ends.longer != npos ? ends.longer : ends.shorter;
    if (end != npos) return {i, end};
  }
  return {};
}

std::string RemoveTimeTags(std::string_view s) {
  std::string out;
  std::size_t kept = 0;
  for (Span tag = FindTimeTag(s, 0); tag.begin != npos; tag = FindTimeTag(s, tag.end)) {
    out.append(s.substr(kept, tag.begin - kept));
    kept = tag.end;
  }
  out.append(s.substr(kept));
  return out;
}

std::int32_t TimeTagMilliseconds(std::string_view tag) {
  const std::size_t colon = tag.find(':');
  const std::size_t close = tag.find(']');
  if (tag.empty() || tag[0] != '[' || colon == npos || close == npos || close < colon) return 0;
  const std::size_t seconds_end = SkipDigits(tag, colon + 1);
  std::size_t fraction = close;
  while (text::IsDigit(tag[fraction - 1])) --fraction;
  const double minutes = DigitsValue(tag.substr(1, colon - 1));
  const double seconds = DigitsValue(tag.substr(colon + 1, seconds_end - colon - 1));
  const double milliseconds = DigitsValue(tag.substr(fraction, close - fraction));
  return text::TruncateToInt32(minutes * 60000 + seconds * 1000 + milliseconds);
}

std::string MarkBlankLines(std::string_view s) {
  static constexpr std::string_view kMarker = "*****\r\n";
  // The runs first, so that the result is allocated once, at its size.
  std::vector<Span> runs;
  std::size_t size = s.size();
  for (std::size_t i = 0; i < s.size();) {
    if (!IsBlankByte(s[i]) || !AtLineStart(s, i)) {
      ++i;
      continue;
    }
    // The run takes every blank byte, line breaks included, and gives back
    // what follows its last CR.
    std::size_t end = i, last_cr = npos;
    for (; end < s.size() && IsBlankByte(s[end]); ++end) {
      if (s[end] == '\r') last_cr = end;
    }
    if (last_cr != npos) {
      runs.push_back({i, last_cr + 1});
      size = size - (last_cr + 1 - i) + kMarker.size();
    }
    // Any later start inside the run sees no CR ahead of it.
    i = end;
  }
  std::string out;
  out.reserve(size);
  std::size_t kept = 0;
  for (const Span& run : runs) {
    out.append(s.substr(kept, run.begin - kept));
    out.append(kMarker);
    kept = run.end;
  }
  out.append(s.substr(kept));
  return out;
}

std::string_view IdTagValue(std::string_view s, std::string_view opening) {
  for (std::size_t i = s.find(opening); i != npos;) {
    const std::size_t value = i + opening.size();
    std::size_t end = value, close = npos;
    for (; end < s.size() && !text::IsCSpace(s[end]); ++end) {
      if (s[end] == ']') close = end;
    }
    if (close != npos) return s.substr(value, close - value);
    // Any later opening inside this run shares its end and finds no ']' either.
    i = s.find(opening, end);
  }
  return {};
}

}  // namespace lyrics::lrc
