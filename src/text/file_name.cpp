#include "text/file_name.h"

#include "text/gbk.h"

namespace text {

namespace {

// Windows opens these as devices whatever the directory or extension.
bool IsDeviceName(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);  // "NUL .lrc" is NUL too
  for (std::string_view d : {"con", "prn", "aux", "nul"}) {
    if (EqualsIgnoringAsciiCase(base, d)) return true;
  }
  if (base.size() == 4 && (EqualsIgnoringAsciiCase(base.substr(0, 3), "com") ||
                           EqualsIgnoringAsciiCase(base.substr(0, 3), "lpt"))) {
    return IsDigit(base[3]);
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

bool IsExactFileName(std::string_view name) {
  // A name of dots and blanks alone ends in one of them too.
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  for (std::size_t i = 0; i < name.size(); i += CharWidth(name, i)) {
    if (CharWidth(name, i) == 1 && std::string_view("<>\"|?*").find(name[i]) != std::string_view::npos)
      return false;
  }
  return true;
}

}  // namespace text
