// Native conversions, through glibc's iconv.
#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include "text/convert.h"

namespace text {

namespace {

// UTF-16 in this machine's byte order, so that iconv's bytes are char16_t
// units as they stand.
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacementUnit = u'\uFFFD';

// Converts with iconv, replacing what cannot be converted: an input unit of
// `unit` bytes that iconv refuses is skipped and `replacement` written in its place.
std::string Convert(const char* to, const char* from, std::string_view in, std::size_t unit,
                    std::string_view replacement) {
  const iconv_t cd = iconv_open(to, from);
  std::string out(in.size() * 2 + 16, '\0');
  std::size_t used = 0;
  auto* src = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  while (inLeft > 0) {
    char* dst = out.data() + used;
    std::size_t outLeft = out.size() - used;
    const bool done = iconv(cd, &src, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1);
    used = out.size() - outLeft;
    if (done) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ or EINVAL: one unit is not convertible; write the replacement
    // (the string grows when it must).
    out.replace(used, replacement.size(), replacement);
    used += replacement.size();
    const std::size_t skip = std::min(unit, inLeft);
    src += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  out.resize(used);
  return out;
}

std::u16string ToUtf16(const char* from, std::string_view in) {
  const std::string bytes = Convert(
      kUtf16, from, in, 1, {reinterpret_cast<const char*>(&kReplacementUnit), sizeof kReplacementUnit});
  std::u16string units(bytes.size() / 2, u'\0');
  std::memcpy(units.data(), bytes.data(), units.size() * 2);
  return units;
}

std::string FromUtf16(const char* to, std::u16string_view in, std::string_view replacement) {
  return Convert(to, kUtf16, {reinterpret_cast<const char*>(in.data()), in.size() * 2}, 2, replacement);
}

}  // namespace

std::u16string GbkToUtf16(std::string_view gbk) {
  return ToUtf16("CP936", gbk);
}
std::string Utf16ToGbk(std::u16string_view utf16) {
  return FromUtf16("CP936", utf16, "?");
}
std::u16string Utf8ToUtf16(std::string_view utf8) {
  return ToUtf16("UTF-8", utf8);
}
std::string Utf16ToUtf8(std::u16string_view utf16) {
  return FromUtf16("UTF-8", utf16, "\xEF\xBF\xBD");
}

}  // namespace text
