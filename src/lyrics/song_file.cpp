#include "lyrics/song_file.h"

#include "text/gbk.h"

namespace lyrics {

namespace {

// Character by character: the trail byte of a double-byte character may look
// like an ASCII capital, and is compared as it is.
bool SameFileName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    const std::size_t width = text::CharWidth(a, i);
    const std::string_view x = a.substr(i, width), y = b.substr(i, width);
    if (width == 2 ? x != y : !text::EqualsIgnoringAsciiCase(x, y)) return false;
    i += width;
  }
  return true;
}

}  // namespace

int FindSongFile(const std::vector<std::string>& files, std::string_view title, std::string_view artist) {
  if (title.empty()) return -1;
  const std::string t(title), a(artist);
  std::vector<std::string> names = {t + ".lrc"};
  if (!artist.empty()) {
    names.push_back(a + " - " + t + ".lrc");
    names.push_back(t + " - " + a + ".lrc");
  }
  for (const std::string& name : names) {
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (SameFileName(files[i], name)) return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace lyrics
