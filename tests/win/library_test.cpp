// The local library: 文件框1 listing a folder's .lrc files (Chinese names
// included), pointed there by 编辑框1 or by the folder dialog, also at a folder
// whose name holds what GBK lacks.
#include "lyrics/library.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "forms/main_form.h"
#include "forms/program.h"
#include "lyrics/playback.h"
#include "lyrics/whole_file.h"
#include "win/dialog_watch.h"
#include "win/lyrics_window.h"
#include "win/window_test_support.h"

namespace {

using Names = std::vector<std::string>;

class Library : public testing::Test {
 protected:
  void SetUp() override {
    // The folder dialog needs COM on this thread, as the program's entry sets it up.
    OleInitialize(nullptr);
    ASSERT_NE(wintest::OpenMainWindow(), nullptr);
    songs_.Write("静夜思.lrc", {"[00:01.00]床前明月光", "[00:02.00]疑是地上霜"});
    songs_.Write("春晓.lrc", {"[00:01.00]春眠不觉晓"});
    songs_.Write("说明.txt", {"不是歌词"});
    songs_.MakeFolder("目录.lrc");
    empty_.Write("说明.txt", {"这里没有歌词"});
  }
  void TearDown() override {
    if (forms::MainOpen()) forms::main::Window().Close();
    test::Pump(20);
    OleUninitialize();
  }
  static ui::FileList Files() { return forms::main::文件框1(); }
  static ui::Edit Folder() { return forms::main::编辑框1(); }

  wintest::SongFolder songs_{"lyrimark-歌词库"};
  wintest::SongFolder empty_{L"lyrimark-空目录・桜"};  // ・ is not in GBK
};

TEST_F(Library, RefreshListsTheLrcFilesOfTheFolderTypedIn) {
  Folder().SetText(songs_.path());
  lyrics::RefreshLyricsFolder();
  EXPECT_EQ(Files().Directory(), songs_.path());
  EXPECT_EQ(Folder().Text(), songs_.path());
  Names listed = Files().Files();
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (Names{"春晓.lrc", "静夜思.lrc"}));  // GBK order; no other files, no folders

  // A file chosen there is read through its Chinese path.
  ASSERT_TRUE(wintest::ChooseFile("静夜思.lrc"));
  const auto lines = forms::main::超级列表框_歌词();
  ASSERT_EQ(lines.RowCount(), 2);
  EXPECT_EQ(lines.Cell(1, 1), "疑是地上霜");

  // A folder without songs lists none; choosing nothing there names no file,
  // and the old song goes from the list: it can no longer be played.
  Folder().SetWideText(empty_.wide_path());
  lyrics::RefreshLyricsFolder();
  EXPECT_EQ(Files().WideDirectory(), empty_.wide_path());
  EXPECT_TRUE(Files().Files().empty());
  const ui::Unit& box = forms::main::Window().unit("文件框1");
  SendMessageW(forms::main::Window().hwnd(), WM_COMMAND, MAKEWPARAM(box.id, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box.hwnd));
  EXPECT_EQ(lines.RowCount(), 0);
  EXPECT_EQ(lyrics::LoadedSong().count, 0);
}

// A downloaded song is either whole or not there: the bytes go to a temporary
// file that takes the song's place only once all of them are written.
TEST_F(Library, ASaveIsWholeOrLeavesTheOldFile) {
  const std::string song = songs_.path() + "\\静夜思.lrc";
  const auto read = [&] {
    HANDLE h = CreateFileW(ui::Wide(song).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    std::string bytes(4096, '\0');
    DWORD got = 0;
    ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(h);
    return bytes.substr(0, got);
  };
  const auto files = [&] {
    Names all;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW(ui::Wide(songs_.path() + "\\*").c_str(), &found);
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) all.push_back(ui::Narrow(found.cFileName));
    } while (FindNextFileW(h, &found));
    FindClose(h);
    std::sort(all.begin(), all.end());
    return all;
  };
  const std::string before = read();
  const Names listed = files();
  // A full disk: the write stops half way and fails.
  const auto full_disk = [](HANDLE file, std::string_view bytes) {
    lyrics::WriteAllBytes(file, bytes.substr(0, bytes.size() / 2));
    return false;
  };
  EXPECT_FALSE(lyrics::SaveWholeFile(ui::Wide(song), "[00:01.00]新的一行\r\n", full_disk));
  EXPECT_EQ(read(), before);
  EXPECT_EQ(files(), listed);  // and no temporary file
  EXPECT_FALSE(lyrics::SaveWholeFile(ui::Wide(songs_.path() + "\\新歌.lrc"), "[00:01.00]x\r\n", full_disk));
  EXPECT_EQ(files(), listed);

  EXPECT_TRUE(lyrics::SaveWholeFile(ui::Wide(song), "[00:01.00]新的一行\r\n"));
  EXPECT_EQ(read(), "[00:01.00]新的一行\r\n");
  EXPECT_EQ(files(), listed);
}

TEST_F(Library, TheFolderDialogChangesBothOrNothing) {
  Folder().SetText(songs_.path());
  lyrics::RefreshLyricsFolder();
  {
    wintest::DialogWatch cancel(wintest::DialogWatch::PressButton(IDCANCEL));
    SendMessageW(forms::main::Window().unit("按钮2").hwnd, BM_CLICK, 0, 0);
    const auto seen = cancel.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].text.find("选择歌词目录"), std::string::npos) << seen[0].text;
  }
  EXPECT_EQ(Files().Directory(), songs_.path());
  EXPECT_EQ(Folder().Text(), songs_.path());
  EXPECT_EQ(Files().Files().size(), 2u);

  // A folder picked in the tree and confirmed. (Wine's dialog ignores a path
  // typed into its edit box, so the tree is told which folder to select, again
  // until it shows that folder selected: it may still be filling the tree.)
  {
    const std::wstring& chosen = empty_.wide_path();
    const std::wstring name = chosen.substr(chosen.find_last_of(L'\\') + 1);
    wintest::DialogWatch choose([&](HWND dialog) {
      const HWND tree = FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
      for (int tries = 0; tries < 100; ++tries) {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
        wchar_t text[MAX_PATH] = {};
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = TreeView_GetSelection(tree);
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        if (item.hItem && TreeView_GetItem(tree, &item) && name == text) break;
        Sleep(20);
      }
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    SendMessageW(forms::main::Window().unit("按钮2").hwnd, BM_CLICK, 0, 0);
    ASSERT_EQ(choose.Seen().size(), 1u);
  }
  // By its real name, in the folder field too: a refresh keeps it.
  lyrics::RefreshLyricsFolder();
  EXPECT_EQ(Files().WideDirectory(), empty_.wide_path());
  EXPECT_EQ(Folder().WideText(), empty_.wide_path());
  EXPECT_TRUE(Files().Files().empty());
}

}  // namespace
