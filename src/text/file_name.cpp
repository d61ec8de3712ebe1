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
bool IsDeviceName(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
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

bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t w = CharWidth(name, i);
    if (w == 1) {
      const char c = name[i];
      if (c == '\\' || c == '/' || c == ':' || static_cast<unsigned char>(c) < 0x20) return false;
    }
    i += w;
  }
  // With no separator it is one name in the directory; dots inside it
  // ("再见...") are part of that name and harmless.
  return !IsDeviceName(name);
}

}  // namespace text
