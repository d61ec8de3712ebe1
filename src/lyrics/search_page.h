// The lyrics site's side of the online search: the query, the result page,
// and the preview of a downloaded lyrics text. Text is GBK throughout.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lyrics {

// Percent-encodes a song name as the site expects: its UTF-8 bytes, with
// * , - . / 0-9 @ A-Z a-z _ kept and every other byte written as %XX
// (upper-case hex; a space is %20, never '+').
std::string EncodeQueryValue(std::string_view gbkName);

// The search address for a song name on the site at `baseAddress`.
std::string SearchAddress(std::string_view baseAddress, std::string_view gbkName);

// The text of the site's answer: its body is UTF-8 and becomes GBK (characters
// GBK lacks become '?'); it ends at the first zero byte.
std::string ResultPageText(std::string_view body);

// The site's answer to a search that found nothing contains this text.
bool IsNoResultPage(std::string_view page);

struct SearchResult {
  std::string song;     // second name piece; empty when there is none
  std::string singer;   // first name piece
  std::string address;  // where the lyrics file is
};

// Every result of a result page (GBK text), in page order.
std::vector<SearchResult> ReadResultPage(std::string_view page);

struct PreviewRow {
  std::string time;  // first piece, e.g. "[00:12.34"
  std::string text;  // second piece
};

// The preview rows of a lyrics text: each CR LF line split at "]", lines of
// fewer than two pieces skipped.
std::vector<PreviewRow> SplitPreview(std::string_view lyricsText);

// What the hidden edit box 预备下载内容 is given of a downloaded lyrics text:
// its first 256 KB, cut between characters. Nothing reads the box back (the
// bytes are kept whole), and an edit control takes about a second for every
// 3 MB it is given; lyrics files are a few KB.
std::string_view DownloadBoxText(std::string_view lyricsText);

}  // namespace lyrics
