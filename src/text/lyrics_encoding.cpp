#include "text/lyrics_encoding.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "text/convert.h"
#include "text/gbk.h"

namespace text {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// The length of the strict UTF-8 character at `p` (1 to 4 bytes), or 0 when
// none starts there.
std::size_t CharLength(const unsigned char* p, const unsigned char* end) {
  const unsigned char lead = *p;
  if (lead < 0x80) return 1;
  // How many continuation bytes follow, and the range of the first: the
  // narrower ranges are what rule out overlong forms (E0, F0), surrogates
  // (ED) and code points above U+10FFFF (F4).
  std::ptrdiff_t more = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;  // a continuation byte without a lead, C0, C1, F5 and above
  }
  if (end - p <= more || p[1] < low || p[1] > high) return 0;
  for (std::ptrdiff_t i = 2; i <= more; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
  }
  return static_cast<std::size_t>(more + 1);
}

// Whether the next eight bytes are all ASCII. Most of a lyrics file is, its
// tags and line ends: such runs are stepped over eight bytes at a time.
bool EightAsciiAt(const unsigned char* p, const unsigned char* end) {
  if (end - p < 8) return false;
  std::uint64_t eight;
  std::memcpy(&eight, p, 8);
  return (eight & 0x8080808080808080u) == 0;
}

// Strict UTF-8 with at least one byte of 0x80 or more.
bool IsUtf8Text(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const unsigned char* const end = p + s.size();
  bool beyondAscii = false;
  while (p < end) {
    if (EightAsciiAt(p, end)) {
      p += 8;
      continue;
    }
    const std::size_t n = CharLength(p, end);
    if (n == 0) return false;
    beyondAscii = beyondAscii || n > 1;
    p += n;
  }
  return beyondAscii;
}

// The GBK of every UTF-16 unit, one or two bytes (a lead byte and its trail;
// a single byte is never a lead byte), as code page 936 itself gives it: the
// system is asked once, for all units in one conversion. A surrogate is '?':
// a character beyond the BMP, which GBK lacks too, becomes "??", as the
// system makes of its two units.
const std::vector<std::uint16_t>& GbkOfUnit() {
  static const std::vector<std::uint16_t> table = [] {
    std::u16string units(0x10000, u'?');
    for (char32_t u = 0; u < 0x10000; ++u) {
      if (u < 0xD800 || u > 0xDFFF) units[u] = static_cast<char16_t>(u);
    }
    const std::string gbk = Utf16ToGbk(units);
    std::vector<std::uint16_t> t(units.size());
    for (std::size_t u = 0, i = 0; u < t.size() && i < gbk.size(); ++u) {
      const auto first = static_cast<unsigned char>(gbk[i]);
      const bool pair = IsLeadByte(first) && i + 1 < gbk.size();
      t[u] = static_cast<std::uint16_t>(pair ? first << 8 | static_cast<unsigned char>(gbk[i + 1]) : first);
      i += pair ? 2 : 1;
    }
    return t;
  }();
  return table;
}

// Writes the GBK of `unit` at `out`.
char* PutGbk(const std::vector<std::uint16_t>& gbkOfUnit, char* out, char16_t unit) {
  const std::uint16_t g = gbkOfUnit[unit];
  if (g > 0xFF) *out++ = static_cast<char>(g >> 8);
  *out++ = static_cast<char>(g & 0xFF);
  return out;
}

// The conversions write into the file's own buffer: the GBK of a character is
// never longer than its UTF-8 or UTF-16 (two bytes at most for two to four,
// one for ASCII and for each '?'), so what is written never overtakes what is
// still to be read. A file of megabytes then needs no second buffer of its
// size, whose first touch alone costs more than the conversion under Wine.

// A byte that starts no character becomes '?'.
std::string Utf8ToGbkInPlace(std::string bytes) {
  const std::size_t mark = bytes.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data()) + mark;
  const unsigned char* const end = in + (bytes.size() - mark);
  const std::vector<std::uint16_t>& gbkOfUnit = GbkOfUnit();
  char* const start = bytes.data();
  char* out = start;
  while (in < end) {
    if (EightAsciiAt(in, end)) {
      std::memmove(out, in, 8);  // ASCII is the same in GBK
      out += 8;
      in += 8;
      continue;
    }
    const unsigned char lead = *in;
    const std::size_t n = CharLength(in, end);
    if (n == 1) {
      *out++ = static_cast<char>(lead);
    } else if (n == 0 || n == 4) {
      *out++ = '?';
      if (n == 4) *out++ = '?';  // beyond the BMP: two units, no GBK character
    } else {
      const unsigned unit = n == 2 ? (lead & 0x1Fu) << 6 | (in[1] & 0x3Fu)
                                   : (lead & 0x0Fu) << 12 | (in[1] & 0x3Fu) << 6 | (in[2] & 0x3Fu);
      out = PutGbk(gbkOfUnit, out, static_cast<char16_t>(unit));
    }
    in += n == 0 ? 1 : n;
  }
  bytes.resize(static_cast<std::size_t>(out - start));
  return bytes;
}

// The units after the mark; a last odd byte is no unit and goes.
std::string Utf16ToGbkInPlace(std::string bytes, bool bigEndian) {
  const std::vector<std::uint16_t>& gbkOfUnit = GbkOfUnit();
  char* const start = bytes.data();
  char* out = start;
  const auto* b = reinterpret_cast<const unsigned char*>(start);
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(bigEndian ? b[i] << 8 | b[i + 1] : b[i + 1] << 8 | b[i]);
    out = PutGbk(gbkOfUnit, out, unit);
  }
  bytes.resize(static_cast<std::size_t>(out - start));
  return bytes;
}

}  // namespace

LyricsEncoding DecideLyricsEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) return LyricsEncoding::kUtf8;
  if (bytes.starts_with(kUtf16LeMark)) return LyricsEncoding::kUtf16Le;
  if (bytes.starts_with(kUtf16BeMark)) return LyricsEncoding::kUtf16Be;
  return IsUtf8Text(bytes) ? LyricsEncoding::kUtf8 : LyricsEncoding::kGbk;
}

std::string CrLfLineEnds(std::string text) {
  const auto bare = [&](std::size_t i) {
    return (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) ||
           (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
  };
  std::size_t first = 0;
  while (first < text.size() && !bare(first)) ++first;
  if (first == text.size()) return text;
  std::string lines = text.substr(0, first);
  lines.reserve(text.size() + text.size() / 16);
  for (std::size_t i = first; i < text.size(); ++i) {
    if (bare(i)) {
      lines += "\r\n";
    } else {
      lines += text[i];
    }
  }
  return lines;
}

std::string LyricsText(std::string bytes) {
  const LyricsEncoding encoding = DecideLyricsEncoding(bytes);
  if (encoding == LyricsEncoding::kGbk) return bytes;
  return CrLfLineEnds(encoding == LyricsEncoding::kUtf8
                          ? Utf8ToGbkInPlace(std::move(bytes))
                          : Utf16ToGbkInPlace(std::move(bytes), encoding == LyricsEncoding::kUtf16Be));
}

}  // namespace text
