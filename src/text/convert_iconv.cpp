// Native conversions, through glibc's iconv.
#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "text/convert.h"

namespace text {

namespace {

// Converts with iconv from `from` to UTF-16LE (or back, with `to`), replacing
// what cannot be converted: an input unit that iconv refuses is skipped and
// `replacement` written in its place.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::string Run(const char* in, std::size_t inLeft, std::size_t unit, std::string_view replacement) {
    std::string out(inLeft * 2 + 16, '\0');
    char* dst = out.data();
    std::size_t outLeft = out.size();
    auto* src = const_cast<char*>(in);
    while (inLeft > 0) {
      if (iconv(cd_, &src, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        const std::size_t used = out.size() - outLeft;
        out.resize(out.size() * 2);
        dst = out.data() + used;
        outLeft = out.size() - used;
        continue;
      }
      // EILSEQ or EINVAL: one unit is not convertible; write the replacement.
      if (outLeft < replacement.size()) {
        const std::size_t used = out.size() - outLeft;
        out.resize(out.size() * 2 + replacement.size());
        dst = out.data() + used;
        outLeft = out.size() - used;
      }
      for (char c : replacement) *dst++ = c;
      outLeft -= replacement.size();
      const std::size_t skip = std::min(unit, inLeft);
      src += skip;
      inLeft -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(out.size() - outLeft);
    return out;
  }

 private:
  iconv_t cd_;
};

std::u16string FromLe(const std::string& bytes) {
  std::u16string s(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < s.size(); ++i) {
    s[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                 static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return s;
}

std::string ToLe(std::u16string_view s) {
  std::string bytes(s.size() * 2, '\0');
  for (std::size_t i = 0; i < s.size(); ++i) {
    bytes[2 * i] = static_cast<char>(s[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(s[i] >> 8);
  }
  return bytes;
}

constexpr std::string_view kReplacementLe{"\xFD\xFF", 2};

std::u16string ToUtf16(const char* from, std::string_view in) {
  Converter c("UTF-16LE", from);
  return FromLe(c.Run(in.data(), in.size(), 1, kReplacementLe));
}

std::string FromUtf16(const char* to, std::u16string_view in, std::string_view replacement) {
  const std::string le = ToLe(in);
  Converter c(to, "UTF-16LE");
  return c.Run(le.data(), le.size(), 2, replacement);
}

}  // namespace

std::u16string GbkToUtf16(std::string_view gbk) { return ToUtf16("CP936", gbk); }
std::string Utf16ToGbk(std::u16string_view utf16) { return FromUtf16("CP936", utf16, "?"); }
std::u16string Utf8ToUtf16(std::string_view utf8) { return ToUtf16("UTF-8", utf8); }
std::string Utf16ToUtf8(std::u16string_view utf16) { return FromUtf16("UTF-8", utf16, "\xEF\xBF\xBD"); }

}  // namespace text
