#include "lyrics/online_search.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/main_form.h"
#include "lyrics/library.h"
#include "lyrics/search_page.h"
#include "lyrics/service_answer.h"
#include "lyrics/whole_file.h"
#include "lyrimark/config.h"
#include "net/fetch_page.h"
#include "net/http_get.h"
#include "text/convert.h"
#include "text/file_name.h"
#include "text/gbk.h"
#include "text/lyrics_encoding.h"
#include "ui/message_box.h"
#include "ui/paint_while.h"
#include "ui/wide.h"
#include "ui/win32.h"

namespace lyrics {

namespace {

// The service asks its clients to say who they are and where to find out more.
constexpr char kServiceUserAgent[] = "Lyrimark " LYRIMARK_VERSION " (" LYRIMARK_HOME_URL ")";

struct OnlineSearch {
  std::string service = LYRIMARK_LRCLIB_URL;  // empty: the site alone is asked
  // The rows of 欲下载列表: first the site's, one lyrics address each, then
  // the service's, one track each.
  std::vector<std::string> resultAddresses;
  std::vector<ServiceTrack> tracks;
};

OnlineSearch state;

// A row's lyrics as they are saved, byte for byte: 预备下载内容 shows them
// too, but an edit box holds only so much and only valid GBK, and a save must
// not lose bytes.
struct LyricsFile {
  // Without ".lrc"; empty when the name would not stay in the program's directory.
  std::wstring name;
  std::string bytes;
};

// The body of the service's answer at `address`; empty, which its readers
// take for no answer, when it fails in any way.
std::string AskService(const std::string& address) {
  std::optional<net::HttpAnswer> answer = net::HttpGet(address, kServiceUserAgent, kServiceAnswerLimit);
  return answer && answer->status == 200 ? std::move(answer->body) : std::string();
}

// A track's lyrics saved as UTF-8 under the track's own name, whatever GBK lacks of it.
LyricsFile ServiceFile(const ServiceTrack& track) {
  const bool safe = text::IsSafeFileName(text::Utf16ToGbk(track.title));
  return {safe ? std::wstring(track.title.begin(), track.title.end()) : std::wstring(),
          ServiceLyricsFile(track)};
}

// Saves `file` beside the program, whatever folder 编辑框1 names. Its path;
// empty when it has no name or was not written.
std::wstring SaveBesideTheProgram(const LyricsFile& file) {
  if (file.name.empty()) return {};
  const std::wstring path = ui::ModuleDirectory() + L"\\" + file.name + L".lrc";
  return SaveWholeFile(path, file.bytes) ? path : std::wstring();
}

// Shows `text` (GBK) in 预备下载内容 and its preview rows in 歌词预览.
void ShowPreview(const std::string& text, std::vector<ui::Row> preview) {
  forms::main::预备下载内容().SetText(DownloadBoxText(text));
  forms::main::歌词预览().SetRows(std::move(preview));
}

std::vector<ui::Row> PreviewRows(std::string_view text) {
  std::vector<ui::Row> rows;
  for (PreviewRow& r : SplitPreview(text)) rows.push_back({{std::move(r.time), std::move(r.text)}});
  return rows;
}

// Fetches the lyrics of a site row into 预备下载内容 and shows their preview;
// nothing when the work failed. The window paints meanwhile.
std::optional<LyricsFile> FetchSiteResult(int row) {
  const std::string address = state.resultAddresses[static_cast<std::size_t>(row)];
  std::string fetched, shown;
  std::vector<ui::Row> preview;
  if (!ui::PaintWhile([&] {
        // A file in UTF-8 or UTF-16 is saved as it came and shown in GBK; a
        // GBK file is taken up to its first zero byte, as it always was.
        fetched = net::FetchPage(address);
        if (text::DecideLyricsEncoding(fetched) == text::LyricsEncoding::kGbk)
          fetched = std::string(text::UpToZero(fetched));
        shown = std::string(text::UpToZero(text::LyricsText(fetched)));
        preview = PreviewRows(shown);
      }))
    return std::nullopt;
  ShowPreview(shown, std::move(preview));
  // A title that would leave the program's directory writes nothing, like any
  // other name that cannot be written.
  const std::string title = forms::main::欲下载列表().Cell(row, 0);
  return LyricsFile{text::IsSafeFileName(title) ? ui::Wide(title) : std::wstring(), std::move(fetched)};
}

// Shows a service row's lyrics, which came with the search's answer.
LyricsFile TakeServiceResult(const ServiceTrack& track) {
  const std::string text = ServicePreviewText(track);
  ShowPreview(text, PreviewRows(text));
  return ServiceFile(track);
}

// Takes the lyrics of the current row; nothing when no row is current (a
// cleared selection has nothing to take) or the work failed.
std::optional<LyricsFile> TakeCurrentResult() {
  const int row = forms::main::欲下载列表().CurrentRow();
  if (row < 0) return std::nullopt;
  const std::size_t sites = state.resultAddresses.size();
  if (static_cast<std::size_t>(row) < sites) return FetchSiteResult(row);
  if (static_cast<std::size_t>(row) - sites >= state.tracks.size()) return std::nullopt;
  return TakeServiceResult(state.tracks[static_cast<std::size_t>(row) - sites]);
}

}  // namespace

void UseLyricsService(std::string_view address) {
  state.service = address;
}

void SearchLyrics() {
  const std::string words = forms::main::欲搜索内容().Text();
  const std::string address = SearchAddress(LYRIMARK_LYRICS_URL, words);
  // Without words there is nothing to ask the service for.
  const std::string serviceAddress =
      state.service.empty() || words.empty() ? std::string() : ServiceSearchAddress(state.service, words);
  bool found = false;
  std::vector<ui::Row> rows;
  std::vector<std::string> addresses;
  std::vector<ServiceTrack> tracks;
  std::vector<std::function<void()>> works{[&] {
    const std::string page = ResultPageText(net::FetchPage(address));
    if (IsNoResultPage(page)) return;
    found = true;
    for (SearchResult& r : ReadResultPage(page)) {
      addresses.push_back(std::move(r.address));
      rows.push_back({{std::move(r.song), std::move(r.singer)}});
    }
  }};
  // Asked at the same time: neither source waits for the other.
  if (!serviceAddress.empty())
    works.push_back([&] { tracks = ReadServiceAnswer(AskService(serviceAddress)); });
  if (!ui::PaintWhile(works)) return;
  if (!found && tracks.empty()) {
    // The previous results stay, still clickable.
    ui::ShowMessage("搜索失败！没有相关歌词,查看歌名是否正确！");
    return;
  }
  for (const ServiceTrack& t : tracks) rows.push_back({{t.song, t.singer}});
  // Rows and what they stand for change together: a click can never find one without the other.
  state.resultAddresses = std::move(addresses);
  state.tracks = std::move(tracks);
  forms::main::欲下载列表().SetRows(std::move(rows));
}

void PreviewResult() {
  if (!TakeCurrentResult()) return;
  RefreshLyricsFolder();
}

void DownloadResult() {
  const std::optional<LyricsFile> file = TakeCurrentResult();
  if (!file) return;
  SaveBesideTheProgram(*file);
  RefreshLyricsFolder();
}

std::string ServiceSongRequest(std::string_view title, std::string_view artist, int seconds) {
  return state.service.empty() ? std::string() : ServiceSongAddress(state.service, title, artist, seconds);
}

std::optional<ServiceTrack> AskServiceSong(const std::string& address) {
  return ReadServiceSong(AskService(address));
}

std::wstring SaveServiceLyrics(const ServiceTrack& track) {
  return SaveBesideTheProgram(ServiceFile(track));
}

}  // namespace lyrics
