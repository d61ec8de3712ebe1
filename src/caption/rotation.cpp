#include "caption/rotation.h"

#include "text/gbk.h"

namespace caption {

namespace {

// Only the first-level characters move as a pair; full-width punctuation and
// the second level move byte by byte, which users know and expect from the
// scroller.
std::size_t FirstCharWidth(std::string_view s) {
  if (s.size() < 2) return s.size();
  const auto lead = static_cast<unsigned char>(s[0]);
  const auto trail = static_cast<unsigned char>(s[1]);
  return lead >= 0xB0 && lead <= 0xD7 && trail >= 0xA1 && trail <= 0xFE ? 2 : 1;
}

}  // namespace

std::string RotateText(std::string_view text) {
  const std::string_view trimmed = text::TrimBlanks(text);
  const std::size_t width = FirstCharWidth(trimmed);
  std::string turned(trimmed.substr(width));
  turned.append(trimmed.substr(0, width));
  return turned;
}

}  // namespace caption
