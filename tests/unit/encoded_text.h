// Lyrics files in the encodings players and sites write, made from the
// compiler's own literals (u8"..." and u"..."), not from the program's conversions.
#pragma once

#include <string>
#include <string_view>

namespace encoded {

inline std::string Utf8(std::u8string_view s) {
  return {reinterpret_cast<const char*>(s.data()), s.size()};
}

// UTF-16 as a file holds it, its mark first.
inline std::string Utf16File(std::u16string_view s, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : s) {
    const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
    out += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return out;
}

}  // namespace encoded
