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

// Whether a one-byte character of `name` is `bad`: looked for as characters,
// so the trail byte of a GBK character never counts.
template <class Bad>
bool HasCharacter(std::string_view name, Bad bad) {
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t w = CharWidth(name, i);
    if (w == 1 && bad(name[i])) return true;
    i += w;
  }
  return false;
}

}  // namespace

bool IsSafeFileName(std::string_view name) {
  const auto unsafe = [](char c) {
    return c == '\\' || c == '/' || c == ':' || static_cast<unsigned char>(c) < 0x20;
  };
  if (name.empty() || name == "." || name == ".." || HasCharacter(name, unsafe)) return false;
  // With no separator it is one name in the directory; dots inside it
  // ("再见...") are part of that name and harmless.
  return !IsDeviceName(name);
}

bool IsExactFileName(std::string_view name) {
  const auto refusedOrPattern = [](char c) {
    return std::string_view("<>\"|?*").find(c) != std::string_view::npos;
  };
  // A name of dots and blanks alone ends in one of them too.
  return !name.empty() && name.back() != '.' && name.back() != ' ' && !HasCharacter(name, refusedOrPattern);
}

}  // namespace text
