// The result-page reader against the site's pattern run as a regular
// expression: the same results, or the regular expression gave up.
#include <boost/regex.hpp>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "lyrics/search_page.h"
#include "pieces.h"

namespace {

constexpr char kOpening[] = "<font size=\"-1\">";
constexpr char kClosing[] = "LRC歌词下载</a>";

// The page's marker texts, for inputs read as pieces.
const char* const kPieces[] = {kOpening,  kClosing, "</font>",           ">",          " ",   "\r\n",
                               "LRC歌词", "</a>",   "<font size=\"-1\"", "<a href=\"", "\">", "歌",
                               "\x81"};

std::string PageFrom(const std::uint8_t* data, std::size_t size) {
  return TextFrom(data, size, kPieces);
}

bool Same(const lyrics::SearchResult& a, const lyrics::SearchResult& b) {
  return a.song == b.song && a.singer == b.singer && a.address == b.address;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const boost::regex pattern(std::string(kOpening) + "(.*?)" + kClosing);
  const std::string page = PageFrom(data, size);
  const std::vector<lyrics::SearchResult> results = lyrics::ReadResultPage(page);

  std::vector<std::string> groups;
  try {
    for (boost::sregex_iterator it(page.begin(), page.end(), pattern), end; it != end; ++it) {
      groups.push_back((*it)[1]);
    }
  } catch (const std::exception&) {
    return 0;  // Boost.Regex refuses pathological input; nothing to compare with
  }

  if (results.size() != groups.size()) std::abort();
  for (std::size_t i = 0; i < groups.size(); ++i) {
    // A group holds no closing text, so alone between the markers it reads as one result.
    const auto alone = lyrics::ReadResultPage(kOpening + groups[i] + kClosing);
    if (alone.size() != 1 || !Same(alone[0], results[i])) std::abort();
  }
  return 0;
}
