// Filling the report lists with large inputs, under Wine: a 200,000-line song,
// a 30,000-result page and a 100,000-line preview. The same rows go, in one
// run, into a list that holds its own items, one insert a row (as the toolkit
// filled before), the same with redraw off and the item count preallocated,
// and the toolkit's owner-data list, which keeps the rows and is asked only for
// those it shows. Each fill ends with the list painted. The last column is the
// whole way the program goes now, from the text to the painted list (for the
// result page and the preview, from the text as it came from the site).
//
//   bench/list_fill.sh [Windows build tree]
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "caption/stopwatch.h"
#include "forms/main_form.h"
#include "forms/program.h"
#include "lyrics/library.h"
#include "lyrics/search_page.h"
#include "lyrics/song_rows.h"
#include "ui/paint_while.h"
#include "ui/wide.h"
#include "win/lyrics_window.h"
#include "win/window_test_support.h"

namespace {

using caption::Stopwatch;

// A fill that takes longer than this is abandoned and told as such.
constexpr double kGiveUpMs = 60000;

std::string SongText(int lines) {
  std::string text = "[ti:长歌]\r\n[ar:佚名]\r\n";
  for (int i = 0; i < lines; ++i) {
    const int cs = i * 37;  // centiseconds, ascending
    char tag[32];
    std::snprintf(tag, sizeof tag, "[%02d:%02d.%02d]", cs / 6000, cs / 100 % 60, cs % 100);
    text += tag + std::string("床前明月光，疑是地上霜。第") + std::to_string(i) + "行\r\n";
  }
  return text;
}

std::string ResultPage(int results) {
  std::string page = "<html><body><table>\r\n";
  for (int i = 0; i < results; ++i) {
    const std::string n = std::to_string(i);
    page += "<tr><td><font size=\"-1\"><a href=\"/lrc/" + n + ".lrc\">http://127.0.0.1:18081/lrc/" + n +
            ".lrc</font></td><td><a href=\"/lrc/" + n + ".lrc\">佚名 古诗第" + n +
            "首 LRC歌词下载</a></td></tr>\r\n";
  }
  return page + "</table></body></html>";
}

std::string PreviewText(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i)
    text += "[00:" + std::to_string(10 + i % 50) + ".00]举头望明月，低头思故乡。\r\n";
  return text;
}

std::vector<ui::Row> ResultRows(const std::string& page) {
  std::vector<ui::Row> rows;
  for (lyrics::SearchResult& r : lyrics::ReadResultPage(page)) rows.push_back({{r.song, r.singer}});
  return rows;
}

std::vector<ui::Row> PreviewRows(const std::string& text) {
  std::vector<ui::Row> rows;
  for (lyrics::PreviewRow& r : lyrics::SplitPreview(text)) rows.push_back({{r.time, r.text}});
  return rows;
}

// A list that holds its own items, where the program's list is and as large.
HWND PlainList(const char* beside) {
  const ui::Unit& u = forms::main::Window().unit(beside);
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                              u.origin.x, u.origin.y, u.row->rect.width, u.row->rect.height,
                              forms::main::Window().hwnd(), nullptr, nullptr, nullptr);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  int index = 0;
  for (const ui::Item& column : u.row->items) {
    std::wstring title = ui::Wide(column.title);
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    c.pszText = title.data();
    c.cx = column.width;
    c.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&c));
  }
  SetWindowPos(list, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  return list;
}

// One insert a row and a message a cell, as the toolkit filled before;
// optionally with redraw off and the count given first. Milliseconds to the
// painted list, or -(rows done) when given up.
double FillPlain(const char* beside, const std::vector<ui::Row>& rows, bool redrawOff) {
  HWND list = PlainList(beside);
  test::Pump(50);
  const Stopwatch watch;
  if (redrawOff) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_SETITEMCOUNT, rows.size(), 0);
  }
  double result = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i % 1000 == 0 && watch.ElapsedMs() > kGiveUpMs) {
      result = -static_cast<double>(i);
      break;
    }
    std::wstring first = ui::Wide(rows[i].cells[0]);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(i);
    item.pszText = first.data();
    item.lParam = rows[i].data;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (std::size_t c = 1; c < rows[i].cells.size(); ++c) {
      std::wstring text = ui::Wide(rows[i].cells[c]);
      LVITEMW cell{};
      cell.iSubItem = static_cast<int>(c);
      cell.pszText = text.data();
      SendMessageW(list, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&cell));
    }
  }
  if (redrawOff) {
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }
  UpdateWindow(list);
  if (result == 0) result = watch.ElapsedMs();
  DestroyWindow(list);
  return result;
}

// Brings the list's tab page to the front, as a click on its tab does.
void ShowPageOf(const char* unit) {
  const ui::Unit& u = forms::main::Window().unit(unit);
  SendMessageW(u.tab->hwnd, TCM_SETCURSEL, static_cast<WPARAM>(u.page - 1), 0);
  NMHDR hdr{u.tab->hwnd, u.tab->id, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(forms::main::Window().hwnd(), WM_NOTIFY, u.tab->id, reinterpret_cast<LPARAM>(&hdr));
}

double FillOwnerData(const char* unit, const std::vector<ui::Row>& rows) {
  const ui::ReportList list = forms::main::Window().Get<ui::ReportList>(unit);
  list.Clear();
  std::vector<ui::Row> copy = rows;
  test::Pump(50);
  const Stopwatch watch;
  list.SetRows(std::move(copy));
  UpdateWindow(list.hwnd());
  return watch.ElapsedMs();
}

double Timed(const std::function<void()>& work) {
  const Stopwatch watch;
  work();
  return watch.ElapsedMs();
}

std::string Shown(double ms, std::size_t rows) {
  char text[64];
  if (ms < 0) {
    std::snprintf(text, sizeof text, "given up after %.0f s, %.0f of %zu rows", kGiveUpMs / 1000, -ms, rows);
  } else {
    std::snprintf(text, sizeof text, "%.0f ms", ms);
  }
  return text;
}

}  // namespace

int main() {
  ui::Window* main = wintest::OpenMainWindow();
  if (!main) return 1;

  wintest::SongFolder folder("lyrimark-长歌");
  const std::string song = SongText(200000);
  folder.WriteBytes("长歌.lrc", song);
  forms::main::编辑框1().SetText(folder.path());
  lyrics::RefreshLyricsFolder();
  const std::string page = ResultPage(30000);
  const std::string preview = PreviewText(100000);

  lyrics::SongLyrics parsed;
  std::vector<ui::Row> songRows;
  lyrics::ReadSong(song, parsed, songRows);

  struct Case {
    const char* name;
    const char* unit;
    std::vector<ui::Row> rows;
    std::function<void()> wholeWay;
  };
  std::vector<Case> cases;
  cases.push_back(
      {"song, 200,000 lines", "超级列表框_歌词", songRows, [] { wintest::ChooseFile("长歌.lrc"); }});
  cases.push_back({"result page, 30,000 results", "欲下载列表", ResultRows(page), [&] {
                     // As SearchLyrics goes once the page has come.
                     std::vector<ui::Row> rows;
                     ui::PaintWhile([&] { rows = ResultRows(page); });
                     forms::main::欲下载列表().SetRows(std::move(rows));
                   }});
  double boxMs = 0;
  cases.push_back({"preview, 100,000 lines", "歌词预览", PreviewRows(preview), [&] {
                     // As PreviewResult goes once the text has come.
                     std::vector<ui::Row> rows;
                     ui::PaintWhile([&] { rows = PreviewRows(preview); });
                     boxMs = Timed(
                         [&] { forms::main::预备下载内容().SetText(lyrics::DownloadBoxText(preview)); });
                     forms::main::歌词预览().SetRows(std::move(rows));
                   }});

  std::printf(
      "| list | rows | one insert a row (before) | redraw off, count preallocated | owner data (now) |"
      " whole way now |\n|---|---|---|---|---|---|\n");
  for (Case& c : cases) {
    ShowPageOf(c.unit);
    const double ownerData = FillOwnerData(c.unit, c.rows);
    forms::main::Window().Get<ui::ReportList>(c.unit).Clear();
    test::Pump(50);
    const double whole = Timed([&] {
      c.wholeWay();
      UpdateWindow(forms::main::Window().Get<ui::ReportList>(c.unit).hwnd());
    });
    const std::size_t listed =
        static_cast<std::size_t>(forms::main::Window().Get<ui::ReportList>(c.unit).RowCount());
    forms::main::Window().Get<ui::ReportList>(c.unit).Clear();
    const double preallocated = FillPlain(c.unit, c.rows, true);
    const double plain = FillPlain(c.unit, c.rows, false);
    std::printf("| %s | %zu | %s | %s | %s | %s (%zu rows) |\n", c.name, c.rows.size(),
                Shown(plain, c.rows.size()).c_str(), Shown(preallocated, c.rows.size()).c_str(),
                Shown(ownerData, c.rows.size()).c_str(), Shown(whole, listed).c_str(), listed);
    std::fflush(stdout);
  }
  const double wholeBoxMs = Timed([&] { forms::main::预备下载内容().SetText(preview); });
  std::printf(
      "\nOf the preview's whole way, its first 256 KB into the hidden edit box: %.0f ms"
      " (all %zu bytes of it, as before: %.0f ms)\n",
      boxMs, preview.size(), wholeBoxMs);
  main->Close();
  return 0;
}
