#include "lyrics/online_search.h"

#include <windows.h>

#include <string>
#include <vector>

#include "forms/main_form.h"
#include "forms/program.h"
#include "lyrics/library.h"
#include "lyrics/search_page.h"
#include "lyrics/whole_file.h"
#include "lyrimark/config.h"
#include "net/fetch_page.h"
#include "text/file_name.h"
#include "text/gbk.h"
#include "ui/message_box.h"
#include "ui/paint_while.h"
#include "ui/wide.h"

namespace lyrics {

namespace {

struct OnlineSearch {
  std::vector<std::string> resultAddresses;  // one per row of 欲下载列表
  // The lyrics fetched last, byte for byte. 预备下载内容 shows them too, but an
  // edit box holds only so much and only valid GBK, and a save must not lose bytes.
  std::string fetched;
};

OnlineSearch state;

// Fetches the lyrics of the current result into 预备下载内容 and shows their
// preview; false when no result is current (a cleared selection has no
// address to take) or the work failed. The window paints meanwhile.
bool FetchCurrentResult() {
  const int row = forms::main::欲下载列表().CurrentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= state.resultAddresses.size()) return false;
  const std::string address = state.resultAddresses[static_cast<std::size_t>(row)];
  std::vector<ui::Row> preview;
  const bool done = ui::PaintWhile([&] {
    state.fetched = std::string(text::UpToZero(net::FetchPage(address)));
    for (PreviewRow& r : SplitPreview(state.fetched))
      preview.push_back({{std::move(r.time), std::move(r.text)}});
  });
  if (!done) return false;
  forms::main::预备下载内容().SetText(DownloadBoxText(state.fetched));
  forms::main::歌词预览().SetRows(std::move(preview));
  return true;
}

}  // namespace

void SearchLyrics() {
  const std::string address = SearchAddress(LYRIMARK_LYRICS_URL, forms::main::欲搜索内容().Text());
  bool found = false;
  std::vector<ui::Row> rows;
  std::vector<std::string> addresses;
  const bool done = ui::PaintWhile([&] {
    const std::string page = ResultPageText(net::FetchPage(address));
    if (IsNoResultPage(page)) return;
    found = true;
    for (SearchResult& r : ReadResultPage(page)) {
      addresses.push_back(std::move(r.address));
      rows.push_back({{std::move(r.song), std::move(r.singer)}});
    }
  });
  if (!done) return;
  if (!found) {
    // The previous results stay, still clickable.
    ui::ShowMessage("搜索失败！没有相关歌词,查看歌名是否正确！");
    return;
  }
  // Rows and addresses change together: a click can never find one without the other.
  state.resultAddresses = std::move(addresses);
  forms::main::欲下载列表().SetRows(std::move(rows));
}

void PreviewResult() {
  if (!FetchCurrentResult()) return;
  RefreshLyricsFolder();
}

void DownloadResult() {
  if (!FetchCurrentResult()) return;
  // Saved beside the program whatever folder 编辑框1 names. A title that would
  // leave that directory writes nothing, like any other name that cannot be written.
  const std::string title = forms::main::欲下载列表().Cell(forms::main::欲下载列表().CurrentRow(), 0);
  if (text::IsSafeFileName(title))
    SaveWholeFile(forms::RunDirectory() + "\\" + title + ".lrc", state.fetched);
  RefreshLyricsFolder();
}

}  // namespace lyrics
