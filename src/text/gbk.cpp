#include "text/gbk.h"

namespace text {

std::string_view TrimBlanks(std::string_view s) {
  std::size_t begin = npos, end = 0;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t w = CharWidth(s, i);
    const bool blank = w == 1 ? s[i] == ' ' : s[i] == '\xA1' && s[i + 1] == '\xA1';
    if (!blank) {
      if (begin == npos) begin = i;
      end = i + w;
    }
    i += w;
  }
  return begin == npos ? std::string_view() : s.substr(begin, end - begin);
}

std::size_t Find(std::string_view hay, std::string_view needle, std::size_t from) {
  if (from > hay.size()) return npos;
  if (needle.empty()) return from;
  const auto first = static_cast<unsigned char>(needle.front());
  // A byte that cannot be a trail byte always starts a character, so a plain
  // search finds only boundaries; that covers CR LF, '<', '/' and the like.
  if (!IsTrailByte(first)) return hay.find(needle, from);
  for (std::size_t i = from; i + needle.size() <= hay.size(); i += CharWidth(hay, i)) {
    if (hay[i] == needle.front() && hay.compare(i, needle.size(), needle) == 0) return i;
  }
  return npos;
}

std::vector<std::string_view> Split(std::string_view s, std::string_view sep) {
  std::vector<std::string_view> pieces;
  // An empty separator would be found again and again at the same place.
  if (sep.empty()) {
    if (!s.empty()) pieces.push_back(s);
    return pieces;
  }
  for (std::size_t start = 0; start < s.size();) {
    const std::size_t at = std::min(Find(s, sep, start), s.size());
    pieces.push_back(s.substr(start, at - start));
    start = at + sep.size();
  }
  return pieces;
}

std::string_view UpToZero(std::string_view s) {
  return s.substr(0, s.find('\0'));
}

}  // namespace text
