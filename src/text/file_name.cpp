#include "text/file_name.h"

#include <array>

#include "text/gbk.h"

namespace text {

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// Windows opens these as devices whatever the directory or extension.
bool IsDeviceName(std::string_view title) {
  std::string_view base = title.substr(0, title.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);  // "NUL .lrc" is NUL too
  static constexpr std::array<std::string_view, 4> kPlain = {"con", "prn", "aux", "nul"};
  for (std::string_view d : kPlain) {
    if (EqualsIgnoringCase(base, d)) return true;
  }
  if (base.size() == 4 &&
      (EqualsIgnoringCase(base.substr(0, 3), "com") || EqualsIgnoringCase(base.substr(0, 3), "lpt"))) {
    return base[3] >= '0' && base[3] <= '9';
  }
  return false;
}

}  // namespace

bool IsSafeFileName(std::string_view title) {
  if (title.empty() || title == "." || title == "..") return false;
  for (std::size_t i = 0; i < title.size();) {
    const std::size_t w = CharWidth(title, i);
    if (w == 1) {
      const char c = title[i];
      if (c == '\\' || c == '/' || c == ':' || static_cast<unsigned char>(c) < 0x20) return false;
    }
    i += w;
  }
  // With no separator the title is one name in the directory; dots inside it
  // ("再见...") are part of that name and harmless.
  return !IsDeviceName(title);
}

}  // namespace text
