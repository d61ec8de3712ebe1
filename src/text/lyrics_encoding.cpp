#include "text/lyrics_encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "text/convert.h"

namespace text {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// Strict UTF-8 with at least one byte of 0x80 or more. Runs of ASCII, most of
// a lyrics file, are stepped over eight bytes at a time.
bool IsUtf8Text(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const unsigned char* const end = p + s.size();
  bool beyondAscii = false;
  while (p < end) {
    if (end - p >= 8) {
      std::uint64_t eight;
      std::memcpy(&eight, p, 8);
      if ((eight & 0x8080808080808080u) == 0) {
        p += 8;
        continue;
      }
    }
    const unsigned char lead = *p;
    if (lead < 0x80) {
      ++p;
      continue;
    }
    beyondAscii = true;
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
      return false;  // a continuation byte without a lead, C0, C1, F5 and above
    }
    if (end - p <= more || p[1] < low || p[1] > high) return false;
    for (std::ptrdiff_t i = 2; i <= more; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
    }
    p += more + 1;
  }
  return beyondAscii;
}

std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
  std::u16string units(bytes.size() / 2, u'\0');
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t i = 0; i < units.size(); ++i, b += 2) {
    units[i] = static_cast<char16_t>(bigEndian ? b[0] << 8 | b[1] : b[1] << 8 | b[0]);
  }
  return units;
}

// Converts the text after the mark to GBK in the file's own buffer, a piece
// at a time. A file of megabytes then needs no second buffer of its size:
// under Wine the first touch of such a buffer alone costs more than the
// conversion. The GBK of a piece is never longer than the piece (two bytes at
// most for a character of two to four bytes of UTF-8 or UTF-16, one for ASCII
// and for each '?'), so what is written never overtakes what is still to be
// read. `end(bytes, from, to)` moves the end of a piece back to the start of a
// character; `toGbk(piece)` converts a piece.
template <class PieceEnd, class ToGbk>
std::string ConvertInPlace(std::string bytes, std::size_t mark, PieceEnd end, ToGbk toGbk) {
  constexpr std::size_t kPiece = 32 * 1024;  // small enough to stay in the cache
  std::size_t written = 0;
  for (std::size_t read = mark; read < bytes.size();) {
    const std::size_t to = bytes.size() - read <= kPiece ? bytes.size() : end(bytes, read, read + kPiece);
    const std::string gbk = toGbk(std::string_view(bytes).substr(read, to - read));
    std::ranges::copy(gbk, bytes.begin() + static_cast<std::ptrdiff_t>(written));
    written += gbk.size();
    read = to;
  }
  bytes.resize(written);
  return bytes;
}

// Before the lead byte of a character that the piece would cut (a broken run
// of continuation bytes is cut anywhere).
std::size_t Utf8PieceEnd(std::string_view bytes, std::size_t from, std::size_t to) {
  for (int back = 0; back < 3 && to > from + 1 && (static_cast<unsigned char>(bytes[to]) & 0xC0) == 0x80;
       ++back) {
    --to;
  }
  return to;
}

// Pieces of UTF-16 need no care: they hold whole units, the piece being of
// even length, and a pair of surrogates cut in two gives the same "??" as whole.
std::size_t Utf16PieceEnd(std::string_view, std::size_t, std::size_t to) {
  return to;
}

}  // namespace

LyricsEncoding DecideLyricsEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) return LyricsEncoding::kUtf8;
  if (bytes.starts_with(kUtf16LeMark)) return LyricsEncoding::kUtf16Le;
  if (bytes.starts_with(kUtf16BeMark)) return LyricsEncoding::kUtf16Be;
  return IsUtf8Text(bytes) ? LyricsEncoding::kUtf8 : LyricsEncoding::kGbk;
}

std::string LyricsText(std::string bytes) {
  switch (DecideLyricsEncoding(bytes)) {
    case LyricsEncoding::kUtf8: {
      const std::size_t mark = bytes.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
      return ConvertInPlace(std::move(bytes), mark, Utf8PieceEnd,
                            [](std::string_view piece) { return Utf8ToGbk(piece); });
    }
    case LyricsEncoding::kUtf16Le:
      return ConvertInPlace(std::move(bytes), kUtf16LeMark.size(), Utf16PieceEnd,
                            [](std::string_view piece) { return Utf16ToGbk(Utf16Units(piece, false)); });
    case LyricsEncoding::kUtf16Be:
      return ConvertInPlace(std::move(bytes), kUtf16BeMark.size(), Utf16PieceEnd,
                            [](std::string_view piece) { return Utf16ToGbk(Utf16Units(piece, true)); });
    case LyricsEncoding::kGbk:
      break;
  }
  return bytes;
}

}  // namespace text
