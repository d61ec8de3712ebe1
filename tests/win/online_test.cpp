// The page fetch, the lyrics search, preview and download, against the local
// site on its default ports (the addresses compiled into the program).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <wininet.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "forms/main_form.h"
#include "forms/program.h"
#include "lyrics/online_search.h"
#include "lyrimark/config.h"
#include "net/fetch_page.h"
#include "net/read_chunk.h"
#include "ui/units.h"
#include "ui/wide.h"
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
class OnlineSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = wintest::OpenMainWindow();
    ASSERT_NE(main_, nullptr);
    forms::main::编辑框1().SetText(forms::RunDirectory());
    forms::main::文件框1().SetDirectory(forms::RunDirectory());
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

fs::path RunDirectory() {
  return fs::path(ui::Wide(forms::RunDirectory()));
}

std::string Lyrics(std::string_view file) {
  return ReadFile(WinePath(LYRIMARK_CATALOGUE_DIR "/" + std::string(file)));
}

TEST_F(OnlineSearch, NoResultKeepsTheOldRowsClickable) {
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

TEST_F(OnlineSearch, SearchPreviewAndSaveBesideTheProgram) {
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
}

std::set<fs::path> Listing(const fs::path& directory) {
  std::set<fs::path> names;
  for (const auto& e : fs::directory_iterator(directory)) names.insert(e.path().filename());
  return names;
}

TEST_F(OnlineSearch, OnlyTitlesThatStayInTheDirectoryAreSaved) {
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

TEST_F(OnlineSearch, NoCurrentRowDoesNothing) {
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

}  // namespace
