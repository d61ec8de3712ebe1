// The page fetch, the lyrics search, preview and download, against the local
// site and the local lyrics service on their default ports (the addresses
// compiled into the program).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <wininet.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "forms/main_form.h"
#include "lyrics/online_search.h"
#include "lyrimark/config.h"
#include "net/fetch_page.h"
#include "net/read_chunk.h"
#include "ui/units.h"
#include "ui/wide.h"
#include "ui/win32.h"
#include "ui/window.h"
#include "win/dialog_watch.h"
#include "win/lyrics_window.h"
#include "window_test_support.h"

namespace {

namespace fs = std::filesystem;

std::string Maker(std::string_view path) {
  return LYRIMARK_HOME_URL + std::string(path);
}

// Under Wine the Unix root is drive Z:.
std::string WinePath(std::string unixPath) {
  for (char& c : unixPath) c = c == '/' ? '\\' : c;
  return "Z:" + unixPath;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// The site's request log: one JSON line for every request it received.
std::string RequestLog() {
  const char* log = std::getenv("LYRIMARK_SITE_LOG");
  return log ? ReadFile(WinePath(log)) : std::string();
}

std::size_t Count(std::string_view text, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The site's test bodies: byte i is 33 + i mod 89.
std::string SiteBody(std::size_t n) {
  std::string body(n, '\0');
  for (std::size_t i = 0; i < n; ++i) body[i] = static_cast<char>(33 + i % 89);
  return body;
}

TEST(FetchPage, RequestAsTheServerReceivesIt) {
  ASSERT_NE(std::getenv("LYRIMARK_SITE_LOG"), nullptr) << "run with the local site (with-site.sh)";
  DeleteUrlCacheEntryA(Maker("test/echo").c_str());  // what an earlier run may have left
  const std::size_t before = Count(RequestLog(), "\"path\": \"/test/echo\"");
  const std::string echo = net::FetchPage(Maker("test/echo"));
  EXPECT_EQ(echo.rfind("GET /test/echo HTTP/1.0\r\n", 0), 0u) << echo;
  EXPECT_NE(echo.find("\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"),
            std::string::npos)
      << echo;
  EXPECT_NE(echo.find("\r\nAccept: */*\r\n"), std::string::npos) << echo;
  EXPECT_EQ(Count(echo, "Accept:"), 1u) << echo;
  // Never answered from a cache: the same address asked again reaches the server again.
  EXPECT_EQ(net::FetchPage(Maker("test/echo")), echo);
  EXPECT_EQ(Count(RequestLog(), "\"path\": \"/test/echo\""), before + 2);
  // Nor kept in one.
  DWORD size = 0;
  EXPECT_FALSE(GetUrlCacheEntryInfoA(Maker("test/echo").c_str(), nullptr, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(FetchPage, ReadsTheWholeBody) {
  // Without a length the reading goes on until the server closes.
  EXPECT_EQ(net::FetchPage(Maker("test/no-length?n=50000")), SiteBody(50000));
  // A length above the read cap takes several reads.
  EXPECT_EQ(net::FetchPage(Maker("test/bytes?n=250001")), SiteBody(250001));
}

TEST(FetchPage, ABodyWithoutEndIsCutAtTheLimit) {
  const std::string body = net::FetchPage(Maker("test/endless"));
  ASSERT_EQ(body.size(), net::kPageLimit);
  EXPECT_EQ(body.substr(0, 100000), SiteBody(100000));
}

TEST(FetchPage, AnErrorStatusStillGivesItsBody) {
  EXPECT_EQ(net::FetchPage(Maker("test/status/503")), "<html><body><p>status 503</p></body></html>");
}

TEST(FetchPage, NothingForAnAddressItCannotUse) {
  const std::string logBefore = RequestLog();
  EXPECT_EQ(net::FetchPage("127.0.0.1:18080/test/echo"), "");
  EXPECT_EQ(net::FetchPage("ftp://127.0.0.1:18021/lyrimark_new.exe"), "");
  EXPECT_EQ(RequestLog(), logBefore);                    // none of them went out
  EXPECT_EQ(net::FetchPage("http://127.0.0.1:1/"), "");  // nobody listens there
}

// The main window with every binding but the created one, which would read the
// announcement page; its folder field is set as start-up sets it.
class SearchPage : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = wintest::OpenMainWindow();
    ASSERT_NE(main_, nullptr);
    forms::main::编辑框1().SetWideText(ui::ModuleDirectory());
    forms::main::文件框1().SetDirectory(ui::ModuleDirectory());
  }
  void TearDown() override {
    if (main_) main_->Close();
  }

  ui::ReportList Results() const { return main_->Get<ui::ReportList>("欲下载列表"); }
  ui::ReportList Preview() const { return main_->Get<ui::ReportList>("歌词预览"); }

  void Search(std::string_view name) {
    main_->Get<ui::Edit>("欲搜索内容").SetText(name);
    SendMessageW(main_->unit("搜索歌词").hwnd, BM_CLICK, 0, 0);
  }
  // Makes a row current as a click would; the preview follows from the event.
  void Pick(int row) {
    Preview().Clear();
    Results().SetCurrentRow(row);
    test::PumpUntil([&] { return Preview().RowCount() > 0; }, 5000);
  }
  void DoubleClick() {
    ui::Unit& list = main_->unit("欲下载列表");
    NMHDR hdr{list.hwnd, list.id, static_cast<UINT>(NM_DBLCLK)};
    SendMessageW(main_->hwnd(), WM_NOTIFY, list.id, reinterpret_cast<LPARAM>(&hdr));
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < Results().RowCount(); ++i)
      rows.push_back(Results().Cell(i, 0) + "|" + Results().Cell(i, 1));
    return rows;
  }

  ui::Window* main_ = nullptr;
};

// The site's cases, with the lyrics service as the build has it and with none,
// as a build without it: the site's rows come as always, and without the
// service nothing is asked of it.
class OnlineSearch : public SearchPage, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    if (!GetParam()) lyrics::UseLyricsService("");
    logBefore_ = RequestLog().size();
    SearchPage::SetUp();
  }
  void TearDown() override {
    SearchPage::TearDown();
    if (!GetParam()) {
      EXPECT_EQ(Count(RequestLog().substr(logBefore_), "\"server\": \"service\""), 0u);
    }
    lyrics::UseLyricsService(LYRIMARK_LRCLIB_URL);
  }

  std::size_t logBefore_ = 0;
};

INSTANTIATE_TEST_SUITE_P(Sources, OnlineSearch, ::testing::Bool(),
                         [](const auto& test) { return test.param ? "WithService" : "SiteAlone"; });

fs::path RunDirectory() {
  return fs::path(ui::ModuleDirectory());
}

std::string Lyrics(std::string_view file) {
  return ReadFile(WinePath(LYRIMARK_CATALOGUE_DIR "/" + std::string(file)));
}

TEST_P(OnlineSearch, NoResultKeepsTheOldRowsClickable) {
  Search("李白");
  ASSERT_EQ(Rows(), (std::vector<std::string>{"静夜思|李白", "望庐山瀑布|李白", "早发白帝城|李白"}));
  {
    wintest::DialogWatch boxes;
    Search("A+B 无");
    test::PumpUntil([&] { return !boxes.Seen().empty(); }, 5000);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, "搜索失败！没有相关歌词,查看歌名是否正确！");
  }
  EXPECT_NE(RequestLog().find("\"path\": \"/?keyword=A%2BB%20%E6%97%A0&field=all\""), std::string::npos);
  EXPECT_EQ(Rows().size(), 3u);
  Pick(2);
  EXPECT_GT(Preview().RowCount(), 0);
  EXPECT_NE(RequestLog().find("\"path\": \"/lrc/3.lrc\""), std::string::npos);

  // A new search, then a click on the row where the last preview was: a change all the same.
  Search("李白");
  Pick(2);
  EXPECT_GT(Preview().RowCount(), 0);
}

TEST_P(OnlineSearch, SearchPreviewAndSaveBesideTheProgram) {
  const fs::path file = RunDirectory() / L"静夜思.lrc";
  fs::remove(file);
  Search("静夜思");
  EXPECT_NE(RequestLog().find("\"path\": \"/?keyword=%E9%9D%99%E5%A4%9C%E6%80%9D&field=all\""),
            std::string::npos);
  ASSERT_EQ(Rows(), std::vector<std::string>{"静夜思|李白"});

  Pick(0);
  // "[ti:...]" and a tag standing alone give one piece and are left out.
  ASSERT_GE(Preview().RowCount(), 2);
  EXPECT_EQ(Preview().Cell(0, 0) + "|" + Preview().Cell(0, 1), "[00:00.00|静夜思 李白");
  EXPECT_EQ(Preview().Cell(1, 0) + "|" + Preview().Cell(1, 1), "[00:04.00|床前明月光");

  DoubleClick();
  EXPECT_EQ(ReadFile(file), Lyrics("1.lrc"));
  const auto listed = main_->Get<ui::FileList>("文件框1").Files();
  EXPECT_NE(std::find(listed.begin(), listed.end(), "静夜思.lrc"), listed.end());
  std::ofstream(file, std::ios::binary) << std::string(5000, 'x');  // longer than the lyrics
  DoubleClick();
  EXPECT_EQ(ReadFile(file), Lyrics("1.lrc"));
  fs::remove(file);

  // Files in UTF-8 and UTF-16 preview in GBK, and are saved as they came.
  for (const auto& [title, lrc, line] : {std::tuple{L"江雪", "14.lrc", "千山鸟飞绝"}, {L"咏柳", "16.lrc", "碧玉妆成一树高"}}) {
    const fs::path saved = RunDirectory() / (std::wstring(title) + L".lrc");
    Search(ui::Narrow(title));
    Pick(0);
    ASSERT_GE(Preview().RowCount(), 1) << lrc;
    EXPECT_EQ(Preview().Cell(0, 1), line) << lrc;
    DoubleClick();
    EXPECT_EQ(ReadFile(saved), Lyrics(lrc));
    fs::remove(saved);
  }
}

std::set<fs::path> Listing(const fs::path& directory) {
  std::set<fs::path> names;
  for (const auto& e : fs::directory_iterator(directory)) names.insert(e.path().filename());
  return names;
}

TEST_P(OnlineSearch, OnlyTitlesThatStayInTheDirectoryAreSaved) {
  // Where the titles would lead if they were followed: the program's directory,
  // the two above it, and a subdirectory for the slash.
  const fs::path sub = RunDirectory() / L"子目录", jin = RunDirectory() / L"錦瑟.lrc";
  fs::create_directories(sub);
  fs::remove(jin);
  const std::vector<fs::path> places = {RunDirectory(), RunDirectory().parent_path(),
                                        RunDirectory().parent_path().parent_path(), sub};
  std::vector<std::set<fs::path>> before;
  for (const fs::path& p : places) before.push_back(Listing(p));
  Search("越界");
  ASSERT_EQ(Results().RowCount(), 7);
  for (int row = 0; row < 7; ++row) {
    Pick(row);
    DoubleClick();
  }
  for (std::size_t i = 0; i < places.size(); ++i) EXPECT_EQ(Listing(places[i]), before[i]) << places[i];
  fs::remove(sub);

  Search("錦瑟");  // 錦 ends in the backslash byte
  ASSERT_EQ(Rows(), std::vector<std::string>{"錦瑟|李商隐"});
  Pick(0);
  DoubleClick();
  EXPECT_EQ(ReadFile(jin), Lyrics("7.lrc"));
  fs::remove(jin);
}

TEST_P(OnlineSearch, NoCurrentRowDoesNothing) {
  Search("李白");
  Pick(0);
  const std::string fetched = main_->Get<ui::Edit>("预备下载内容").Text();
  Results().SetCurrentRow(-1);
  test::Pump(100);
  const std::string logBefore = RequestLog();
  lyrics::PreviewResult();
  DoubleClick();
  EXPECT_EQ(RequestLog(), logBefore);
  EXPECT_EQ(main_->Get<ui::Edit>("预备下载内容").Text(), fetched);
}

// The lyrics service's requests in the site's log, one JSON line each.
std::vector<std::string> ServiceRequests(std::string_view log) {
  std::vector<std::string> lines;
  std::istringstream in{std::string(log)};
  for (std::string line; std::getline(in, line);)
    if (line.find("\"server\": \"service\"") != std::string::npos) lines.push_back(line);
  return lines;
}

// When a request arrived, in seconds.
double Arrival(std::string_view line) {
  const std::size_t at = line.find("\"time\": ");
  return at == std::string_view::npos ? 0 : std::atof(std::string(line.substr(at + 8)).c_str());
}

std::string Utf8(std::u8string_view s) {
  return std::string(s.begin(), s.end());
}

// The search against the local site and the local lyrics service at once.
class LyricsService : public SearchPage {
 protected:
  // Searches for `name`: the rows, and the texts of the message boxes it showed.
  std::vector<std::string> SearchRows(std::string_view name, std::vector<std::string>* messages = nullptr) {
    wintest::DialogWatch boxes;
    const std::size_t before = ServiceRequests(RequestLog()).size();
    Search(name);
    test::PumpUntil([&] { return !boxes.Seen().empty(); }, messages ? 3000 : 0);
    // One request a search, whatever comes of it.
    EXPECT_EQ(ServiceRequests(RequestLog()).size(), before + 1) << name;
    for (const wintest::SeenDialog& box : boxes.Seen()) {
      if (messages)
        messages->push_back(box.text);
      else
        ADD_FAILURE() << name << ": " << box.text;
    }
    return Rows();
  }
  std::string PreviewRow(int row) const { return Preview().Cell(row, 0) + "|" + Preview().Cell(row, 1); }
  // Saves the current row beside the program; the saved file's bytes.
  std::string Save(const std::wstring& title) {
    const fs::path file = RunDirectory() / (title + L".lrc");
    fs::remove(file);
    DoubleClick();
    const std::string bytes = ReadFile(file);
    fs::remove(file);
    return bytes;
  }
};

TEST_F(LyricsService, BothSourcesAtOnceTheirRowsPreviewsAndFiles) {
  // Both sources answer slowly: asked one after the other, the second request
  // would come long after the first.
  ASSERT_EQ(net::FetchPage(Maker("_control/delay?lyrics=700&service=700")), "ok");
  const std::vector<std::string> rows = SearchRows("月");
  net::FetchPage(Maker("_control/delay?lyrics=0&service=0"));
  // The site's rows first, then the service's tracks with synced lyrics: its
  // plain-only and instrumental ones are not listed; what GBK lacks shows as '?'.
  ASSERT_EQ(rows, (std::vector<std::string>{"月下独酌|Moon乐队", "春江花月夜|A+B组合", "枫桥夜泊|张继",
                                            "水调歌头|苏轼", "月光??之歌|?? 乐队"}));
  const std::string log = RequestLog();
  const std::string asked = ServiceRequests(log).back();
  EXPECT_NE(asked.find("\"path\": \"/api/search?q=%E6%9C%88\""), std::string::npos) << asked;
  EXPECT_NE(asked.find("[\"User-Agent\", \"Lyrimark " LYRIMARK_VERSION " (" LYRIMARK_HOME_URL ")\"]"),
            std::string::npos)
      << asked;
  const std::size_t site = log.rfind("\"path\": \"/?keyword=%E6%9C%88&field=all\"");
  ASSERT_NE(site, std::string::npos);
  EXPECT_LT(std::abs(Arrival(asked) - Arrival(log.substr(log.rfind('\n', site) + 1))), 0.4);

  // A service row previews from the answer, with nothing asked anew.
  Pick(3);
  EXPECT_EQ(RequestLog(), log);
  // The pause, a tag alone, gives one piece and is left out, as in a site's lyrics.
  ASSERT_EQ(Preview().RowCount(), 6);
  EXPECT_EQ(PreviewRow(0), "[00:02.00|明月几时有 把酒问青天");
  EXPECT_EQ(PreviewRow(5), "[00:32.00|但愿人长久 千里共婵娟");
  EXPECT_EQ(Save(L"水调歌头"),
            Utf8(u8"\uFEFF[00:02.00]明月几时有 把酒问青天\r\n[00:08.00]不知天上宫阙 今夕是何年\r\n"
                 u8"[00:14.00]我欲乘风归去\r\n[00:18.00]又恐琼楼玉宇 高处不胜寒\r\n"
                 u8"[00:24.00]起舞弄清影 何似在人间\r\n[00:30.00]\r\n[00:32.00]但愿人长久 千里共婵娟"));
  const auto listed = main_->Get<ui::FileList>("文件框1").Files();
  EXPECT_NE(std::find(listed.begin(), listed.end(), "水调歌头.lrc"), listed.end());

  // A title with what GBK lacks keeps it in the file's name, and the lyrics keep it too.
  Pick(4);
  ASSERT_EQ(Preview().RowCount(), 3);
  EXPECT_EQ(PreviewRow(2), "[00:09.00|风吹竹林沙沙响");
  EXPECT_EQ(Save(L"月光\U0001D11E之歌"), Utf8(u8"\uFEFF[00:01.00]月光照在小河上 \U0001D11E\r\n"
                                              u8"[00:05.00]달빛 아래 노래해요\r\n[00:09.00]风吹竹林沙沙响"));
  // A site row among them is fetched and saved as always.
  Pick(0);
  EXPECT_EQ(Save(L"月下独酌"), Lyrics("9.lrc"));
}

TEST_F(LyricsService, RowsOfTheServiceAloneAndOfEachWayItFails) {
  // Lyrics with CR LF inside keep one line end a line.
  ASSERT_EQ(SearchRows("清明"), std::vector<std::string>{"清明|杜牧"});
  Pick(0);
  ASSERT_EQ(Preview().RowCount(), 4);
  EXPECT_EQ(PreviewRow(1), "[00:05.00|路上行人欲断魂");
  EXPECT_EQ(Save(L"清明"), Utf8(u8"\uFEFF[00:01.00]清明时节雨纷纷\r\n[00:05.00]路上行人欲断魂\r\n"
                                u8"[00:09.00]借问酒家何处有\r\n[00:13.00]牧童遥指杏花村"));

  // A failing service adds no rows and says nothing; the site's rows come as always.
  EXPECT_EQ(SearchRows("李白").size(), 3u);                                      // an empty array
  EXPECT_EQ(SearchRows("王之涣"), std::vector<std::string>{"登鹳雀楼|王之涣"});  // 404
  EXPECT_EQ(SearchRows("孟浩然"), std::vector<std::string>{"春晓|孟浩然"});      // 500 with a track
  EXPECT_EQ(SearchRows("王维"), std::vector<std::string>{"相思|王维"});          // 429
  EXPECT_EQ(SearchRows("孟郊"), std::vector<std::string>{"游子吟|孟郊"});        // cut in the middle
  // With neither source giving a row the site's message comes, once, and the rows stay.
  for (const char* name : {"登幽州台歌", "渔舟唱晚"}) {  // plain lyrics only; instrumental
    std::vector<std::string> messages;
    EXPECT_EQ(SearchRows(name, &messages), std::vector<std::string>{"游子吟|孟郊"});
    EXPECT_EQ(messages, std::vector<std::string>{"搜索失败！没有相关歌词,查看歌名是否正确！"}) << name;
  }
}

}  // namespace
