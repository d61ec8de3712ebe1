#include "lyrics/search_page.h"

#include "text/convert.h"
#include "text/gbk.h"

namespace lyrics {

namespace {

bool IsKeptInQuery(unsigned char b) {
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '*' || b == ',' ||
         b == '-' || b == '.' || b == '/' || b == '@' || b == '_';
}

constexpr std::string_view kResultOpening = "<font size=\"-1\">";
constexpr std::string_view kResultClosing = "LRC歌词下载</a>";

// Song and singer from the link text, which is everything after the last tag
// of the result: "singer song " (the site puts a blank after each name).
void ReadNames(std::string_view group, SearchResult& result) {
  const std::size_t lastTag = group.rfind('>');
  const std::string_view names = lastTag == std::string_view::npos ? group : group.substr(lastTag + 1);
  const std::vector<std::string_view> pieces = text::Split(names, " ");
  if (!pieces.empty()) result.singer = pieces[0];
  if (pieces.size() >= 2) result.song = pieces[1];
}

// The lyrics address sits between the end of the first tag of the result and
// the closing font tag.
std::string ReadAddress(std::string_view group) {
  const std::size_t tagEnd = group.find('>', 1);
  const std::size_t fontEnd = group.find("</font>");
  if (tagEnd == std::string_view::npos || fontEnd == std::string_view::npos || fontEnd <= tagEnd) return {};
  return std::string(group.substr(tagEnd + 1, fontEnd - tagEnd - 1));
}

}  // namespace

std::string EncodeQueryValue(std::string_view gbkName) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::string utf8 = text::GbkToUtf8(text::UpToZero(gbkName));
  std::string encoded;
  encoded.reserve(utf8.size() * 3);
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (IsKeptInQuery(b)) {
      encoded += c;
    } else {
      encoded += {'%', kHex[b >> 4], kHex[b & 0x0F]};
    }
  }
  return encoded;
}

std::string SearchAddress(std::string_view baseAddress, std::string_view gbkName) {
  return std::string(baseAddress) + "/?keyword=" + EncodeQueryValue(gbkName) + "&field=all";
}

std::string ResultPageText(std::string_view body) {
  return std::string(text::UpToZero(text::Utf8ToGbk(body)));
}

bool IsNoResultPage(std::string_view page) {
  return text::Find(page, "没有找到相关") != text::npos;
}

std::vector<SearchResult> ReadResultPage(std::string_view page) {
  // Each result runs from an opening to the nearest closing after it, searched
  // byte by byte. When an opening has no closing after it, no later opening
  // can have one either, so the reading stops there. Every byte is looked at
  // a bounded number of times, so a hostile page cannot make this slow.
  std::vector<SearchResult> results;
  std::size_t from = 0;
  for (;;) {
    const std::size_t open = page.find(kResultOpening, from);
    if (open == std::string_view::npos) break;
    const std::size_t groupStart = open + kResultOpening.size();
    const std::size_t close = page.find(kResultClosing, groupStart);
    if (close == std::string_view::npos) break;
    const std::string_view group = page.substr(groupStart, close - groupStart);
    SearchResult result;
    ReadNames(group, result);
    result.address = ReadAddress(group);
    results.push_back(std::move(result));
    from = close + kResultClosing.size();
  }
  return results;
}

std::vector<PreviewRow> SplitPreview(std::string_view lyricsText) {
  std::vector<PreviewRow> rows;
  for (const std::string_view line : text::Split(lyricsText, "\r\n")) {
    const std::vector<std::string_view> pieces = text::Split(line, "]");
    if (pieces.size() < 2) continue;
    rows.push_back({std::string(pieces[0]), std::string(pieces[1])});
  }
  return rows;
}

std::string_view DownloadBoxText(std::string_view lyricsText) {
  constexpr std::size_t kLimit = 256 * 1024;
  std::size_t end = 0;
  while (end < lyricsText.size()) {
    const std::size_t next = end + text::CharWidth(lyricsText, end);
    if (next > kLimit) break;
    end = next;
  }
  return lyricsText.substr(0, end);
}

}  // namespace lyrics
