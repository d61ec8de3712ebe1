// Lyrics playback into the stand-in target's RichEdit field: which lines are
// written, when, with what, and what the buttons, the library and the list do
// to a song that plays.
#include "lyrics/playback.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/main_form.h"
#include "lyrics/library.h"
#include "lyrimark/config.h"
#include "unit/encoded_text.h"
#include "player/hot_keys.h"
#include "win/dialog_watch.h"
#include "win/lyrics_fixture.h"

namespace {

using wintest::Delivery;
using wintest::ExpectedDelivery;
using wintest::InputMessage;

using wintest::kNickname;

// One song spelled once, which the compiler writes in GBK, UTF-8 and UTF-16.
// The first line is timed, so a mark left in the text would show in it.
#define RIVER_SNOW "[00:00.100]千山鸟飞绝\r\n[00:00.200]万径人踪灭\r\n[00:00.300]孤舟蓑笠翁\r\n[ti:江雪]\r\n"
const std::vector<std::string> kRiverSnow = {"千山鸟飞绝", "万径人踪灭", "孤舟蓑笠翁"};
using encoded::Utf16File;
using encoded::Utf8;

// The files of that song, one per encoding as players and sites write them.
const std::pair<const char*, std::string> kEncodedSongs[] = {
    {"江雪-GBK.lrc", RIVER_SNOW},
    {"江雪-UTF8.lrc", Utf8(u8"" RIVER_SNOW)},
    {"江雪-UTF8-BOM.lrc", "\xEF\xBB\xBF" + Utf8(u8"" RIVER_SNOW)},
    {"江雪-UTF16LE.lrc", Utf16File(u"" RIVER_SNOW, false)},
    {"江雪-UTF16BE.lrc", Utf16File(u"" RIVER_SNOW, true)},
};

const std::string kCredit = LYRIMARK_HOME_URL "-提供字幕";

class Playback : public wintest::LyricsFixture {
 protected:
  static void SetUpTestSuite() {
    StartSuite("lyrimark-歌词");
    // Ties, a first line at 0 ms, and an empty line, 300 ms apart.
    songs_->Write("春晓.lrc",
                  {"[ti:春晓]", "[ar:孟浩然]", "[00:00.00]春晓 孟浩然", "[00:00.300]春眠不觉晓",
                   "[00:00.600]处处闻啼鸟", "[0:0.600]夜来风雨声", "[00:00.900]", "[00:01.200]花落知多少"});
    songs_->Write("静夜思.lrc", {"[00:03.00]床前明月光", "[00:03.300]疑是地上霜"});
    songs_->Write("登鹳雀楼.lrc", {"[00:00.400]白日依山尽", "[00:00.800]黄河入海流", "[00:01.200]欲穷千里目",
                                   "[00:01.600]更上一层楼", "[00:02.00]登鹳雀楼 王之涣"});
    songs_->Write("咏鹅.lrc", {"[00:00.00]鹅鹅鹅 曲项向天歌"});
    songs_->Write("无词.lrc", {"[ti:无词]", "只有文字没有时间"});
    for (const auto& [name, bytes] : kEncodedSongs) songs_->WriteBytes(name, bytes);
    songs_->Write("两秒一句.lrc",
                  {"[00:02.00]第一句", "[00:04.00]第二句", "[00:06.00]第三句", "[00:08.00]第四句"});
  }
};

TEST_F(Playback, WritesEachLineAtItsOwnStampThenGivesTheNicknameBack) {
  ASSERT_TRUE(wintest::ChooseFile("春晓.lrc"));
  const ui::ReportList lines = Lines();
  ASSERT_EQ(lines.RowCount(), 6);
  EXPECT_EQ(lines.Cell(4, 0), "900");
  EXPECT_EQ(lines.Cell(4, 1), kCredit);  // the empty line
  EXPECT_EQ(lines.ItemData(5), 6);
  EXPECT_EQ(lines.CurrentRow(), -1);

  MarkStart();
  Click("超级按钮4");
  // The line at 0 ms is shown, not written; the second is due.
  EXPECT_EQ(Caption(), "停 止");
  EXPECT_EQ(lines.CurrentRow(), 0);
  EXPECT_EQ(lyrics::CurrentLine(), 2);
  EXPECT_GT(Interval(), 0);
  ASSERT_TRUE(PumpUntilIdle(10000)) << "the song never ended";

  // Every line but the first, the tie without a halt, lParam 1 for lyrics and
  // 0 for the nickname, and nothing else.
  auto received = Received();
  ASSERT_FALSE(received.empty());
  EXPECT_TRUE(IsStartMark(Log()[0]));
  received.erase(received.begin());
  EXPECT_EQ(received, Expected({"春眠不觉晓", "处处闻啼鸟", "夜来风雨声", kCredit, "花落知多少"}, true));
  EXPECT_EQ(target_->WaitForReportedText(kNickname), kNickname);
  // Each posted no earlier than its stamp.
  const std::vector<Delivery> written = Written();
  ASSERT_EQ(written.size(), 6u);
  const long start = Log()[0].posted_ms;
  for (auto [i, stamp] : {std::pair{0, 300}, {1, 600}, {2, 600}, {3, 900}, {4, 1200}}) {
    EXPECT_GE(written[static_cast<std::size_t>(i)].posted_ms - start, stamp) << i;
  }
  EXPECT_EQ(lyrics::CurrentLine(), 0);
  EXPECT_EQ(Interval(), 0);
  EXPECT_EQ(lines.CurrentRow(), 5);
}

// Whatever the file's encoding, the same rows and, in the target, the same
// GBK bytes; under every ANSI code page.
TEST_F(Playback, EveryEncodingOfASongGivesTheSameRowsAndCaptions) {
  for (const auto& [name, bytes] : kEncodedSongs) {
    SCOPED_TRACE(name);
    baseline_ = Settled();
    ASSERT_TRUE(wintest::ChooseFile(name));
    const ui::ReportList lines = Lines();
    ASSERT_EQ(lines.RowCount(), 3);
    for (int row = 0; row < 3; ++row) {
      EXPECT_EQ(lines.Cell(row, 0), std::to_string(100 * (row + 1)));
      EXPECT_EQ(lines.Cell(row, 1), kRiverSnow[static_cast<std::size_t>(row)]);
    }
    Click("超级按钮4");
    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_EQ(Received(), Expected(kRiverSnow, true));
  }
}

// A song whose name holds what GBK lacks, in a folder named so too, opens by
// its real name; the rest of the program reads the name with '?'.
TEST_F(Playback, ASongNamedOutsideGbkPlaysFromAFolderNamedSo) {
  wintest::SongFolder folder(L"lyrimark-桜・歌詞");
  folder.WriteBytes(L"さくら・さくら.lrc", Utf8(u8"[00:00.100]さくら さくら\r\n[00:00.200]弥生の空は\r\n"));
  forms::main::编辑框1().SetWideText(folder.wide_path());
  lyrics::RefreshLyricsFolder();
  ASSERT_TRUE(wintest::ChooseFile("さくら?さくら.lrc"));
  EXPECT_EQ(forms::main::透明标签1().Text(), "さくら?さくら.lrc");
  ASSERT_EQ(Lines().RowCount(), 2);
  Click("超级按钮4");
  ASSERT_TRUE(PumpUntilIdle(5000));
  EXPECT_EQ(Received(), Expected({"さくら さくら", "弥生の空は"}, true));
}

TEST_F(Playback, AFirstLineAtThreeSecondsIsWrittenAfterThreeSeconds) {
  ASSERT_TRUE(wintest::ChooseFile("静夜思.lrc"));
  MarkStart();
  Click("超级按钮4");
  EXPECT_EQ(lyrics::CurrentLine(), 1);
  EXPECT_EQ(Lines().CurrentRow(), -1);
  ASSERT_TRUE(PumpUntilIdle(10000));

  const auto log = Log();
  ASSERT_FALSE(log.empty());
  EXPECT_TRUE(IsStartMark(log[0]));
  const std::vector<Delivery> written = Written();
  ASSERT_EQ(wintest::Texts(written), (std::vector<std::string>{"床前明月光", "疑是地上霜", kNickname}));
  EXPECT_GE(written[0].posted_ms - log[0].posted_ms, 3000);
  EXPECT_GE(written[1].posted_ms - log[0].posted_ms, 3300);
}

TEST_F(Playback, StopRestartsTheSongAndALibraryPauseResumesIt) {
  ASSERT_TRUE(wintest::ChooseFile("登鹳雀楼.lrc"));
  Click("超级按钮4");
  ASSERT_TRUE(PumpUntilWritten(2, 5000));
  Click("超级按钮4");  // stop
  EXPECT_EQ(Caption(), "播 放");
  EXPECT_EQ(lyrics::CurrentLine(), 0);
  EXPECT_EQ(Interval(), 0);
  test::Pump(600);
  // Nothing more, and no nickname: a stop keeps the field as it is.
  EXPECT_EQ(wintest::Texts(Written()), (std::vector<std::string>{"白日依山尽", "黄河入海流"}));

  Click("超级按钮4");  // from the beginning
  ASSERT_TRUE(PumpUntilWritten(4, 5000));
  // A choice in the library pauses; the song stays loaded.
  ASSERT_TRUE(wintest::ChooseFile("春晓.lrc"));
  EXPECT_EQ(Caption(), "播 放");
  EXPECT_EQ(lyrics::CurrentLine(), 3);
  EXPECT_EQ(Interval(), 0);
  EXPECT_EQ(Lines().Cell(0, 1), "白日依山尽");
  test::Pump(600);
  EXPECT_EQ(wintest::Texts(Written()),
            (std::vector<std::string>{"白日依山尽", "黄河入海流", "白日依山尽", "黄河入海流", kNickname}));

  Click("超级按钮4");  // resumes: the pending line at once
  EXPECT_EQ(Caption(), "停 止");
  EXPECT_EQ(Lines().CurrentRow(), 2);
  EXPECT_EQ(lyrics::CurrentLine(), 4);
  ASSERT_TRUE(PumpUntilIdle(5000));
  EXPECT_EQ(wintest::Texts(Written()),
            (std::vector<std::string>{"白日依山尽", "黄河入海流", "白日依山尽", "黄河入海流", kNickname,
                                      "欲穷千里目", "更上一层楼", "登鹳雀楼 王之涣", kNickname}));
  // The resumed line counts as written at its stamp: the next one follows a full
  // gap later, not at once (less only by what a busy machine delays the first).
  EXPECT_GE(Written()[6].posted_ms - Written()[5].posted_ms, 400 - 50);

  // Now idle, a choice loads the chosen song.
  ASSERT_TRUE(wintest::ChooseFile("春晓.lrc"));
  EXPECT_EQ(Lines().Cell(0, 1), "春晓 孟浩然");
  EXPECT_EQ(lyrics::CurrentLine(), 0);
}

TEST_F(Playback, ADoubleClickJumpsToItsLineOrWhereNoRowIsStartsOver) {
  ASSERT_TRUE(wintest::ChooseFile("登鹳雀楼.lrc"));
  Click("超级按钮4");
  ASSERT_TRUE(PumpUntilWritten(1, 5000));

  // Below the last row nothing becomes current: line 0, so the song starts over
  // and writes nothing at once.
  DoubleClickList({150, 350});
  ASSERT_TRUE(test::PumpUntil([] { return lyrics::CurrentLine() == 1; }, 2000));
  EXPECT_EQ(Lines().CurrentRow(), -1);
  EXPECT_EQ(Caption(), "停 止");
  EXPECT_EQ(Written().size(), 1u);
  ASSERT_TRUE(PumpUntilWritten(2, 5000));
  EXPECT_EQ(Written()[1].text, "白日依山尽");

  // On a row: that line now, and the song goes on from its stamp.
  DoubleClickList(RowCentre(3));
  ASSERT_TRUE(PumpUntilWritten(3, 2000));
  EXPECT_EQ(Lines().CurrentRow(), 3);
  ASSERT_TRUE(PumpUntilIdle(5000));
  const std::vector<Delivery> written = Written();
  EXPECT_EQ(wintest::Texts(written), (std::vector<std::string>{"白日依山尽", "白日依山尽", "更上一层楼",
                                                               "登鹳雀楼 王之涣", kNickname}));
  ASSERT_EQ(written.size(), 5u);
  // The lines keep the song's time, not each other's: one written a little late
  // shortens the gap to the next by as much.
  EXPECT_GE(written[3].posted_ms - written[2].posted_ms, 400 - 50);

  // Idle, a double-click does nothing.
  DoubleClickList(RowCentre(1));
  test::Pump(300);
  EXPECT_EQ(Written().size(), 5u);
  EXPECT_EQ(Caption(), "播 放");
}

TEST_F(Playback, ASongOfOneLineAtZeroIsWrittenAtOnceAndEnds) {
  ASSERT_TRUE(wintest::ChooseFile("咏鹅.lrc"));
  Click("超级按钮4");
  EXPECT_EQ(Caption(), "播 放");
  EXPECT_EQ(lyrics::CurrentLine(), 0);
  EXPECT_EQ(Interval(), 0);
  EXPECT_EQ(Lines().CurrentRow(), 0);
  Settled();
  EXPECT_EQ(Received(), Expected({"鹅鹅鹅 曲项向天歌"}, true));
}

// A stop handled inside the wait of a tick's delivery: the tick must not go on
// to schedule a line or to end the song (which would give the nickname back).
TEST_F(Playback, AStopInsideADeliveryLeavesPlaybackStopped) {
  const ui::Unit& button = forms::main::Window().unit("超级按钮4");
  const auto post_stop_click = [&] {
    PostMessageW(forms::main::Window().hwnd(), WM_COMMAND, MAKEWPARAM(button.id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button.hwnd));
  };

  ASSERT_TRUE(wintest::ChooseFile("登鹳雀楼.lrc"));
  Click("超级按钮4");
  post_stop_click();
  lyrics::LyricsTick();  // the tick of line 1, called as the timer would
  EXPECT_EQ(Caption(), "播 放");
  EXPECT_EQ(lyrics::CurrentLine(), 0);
  EXPECT_EQ(Interval(), 0);
  test::Pump(700);
  EXPECT_EQ(wintest::Texts(Written()), (std::vector<std::string>{"白日依山尽"}));

  // The same in the one delivery of a one-line song, which is its last.
  baseline_ = Settled();
  ASSERT_TRUE(wintest::ChooseFile("咏鹅.lrc"));
  post_stop_click();  // comes in while the play click writes the line
  Click("超级按钮4");
  EXPECT_EQ(Caption(), "播 放");
  EXPECT_EQ(lyrics::CurrentLine(), 0);
  EXPECT_EQ(Interval(), 0);
  Settled();
  EXPECT_EQ(wintest::Texts(Written()), (std::vector<std::string>{"鹅鹅鹅 曲项向天歌"}));
}

TEST_F(Playback, NoTargetNoLyricsAndAFailedParseAreToldAndChangeNothing) {
  wintest::DialogWatch watch;
  const auto idle = [] { return Caption() == "播 放" && lyrics::CurrentLine() == 0 && Interval() == 0; };

  ASSERT_TRUE(wintest::ChooseFile("春晓.lrc"));
  forms::main::编辑框_窗口句柄().SetText("");
  Click("超级按钮4");
  EXPECT_TRUE(idle());
  EXPECT_EQ(Lines().CurrentRow(), -1);

  forms::main::编辑框_窗口句柄().SetText(target_->handle_text());
  ASSERT_TRUE(wintest::ChooseFile("无词.lrc"));  // read, but without a single timed line
  EXPECT_EQ(Lines().RowCount(), 0);
  Click("超级按钮4");
  EXPECT_TRUE(idle());

  // A parse fails only for a song too large to hold: a line of 1 MB carrying
  // 2048 time tags asks for 2 GB of lyric texts.
  std::string line;
  for (int i = 0; i < 2048; ++i) line += "[0:1.0]";
  line += std::string(1 << 20, 'x');
  songs_->WriteBytes("过长.lrc", line + "\r\n");
  lyrics::RefreshLyricsFolder();
  ASSERT_TRUE(wintest::ChooseFile("过长.lrc"));
  EXPECT_EQ(Lines().RowCount(), 0);
  EXPECT_EQ(lyrics::LoadedSong().count, 0);
  Click("超级按钮4");
  EXPECT_TRUE(idle());
  Settled();
  EXPECT_TRUE(Written().empty());

  const std::vector<wintest::SeenDialog> expected = {{"没有目标", "请选取要发送的程序位置！"},
                                                     {"没有歌词", "请先选择歌词LRC！"},
                                                     {"Lyrimark", "解析失败,未知原因！"},
                                                     {"没有歌词", "请先选择歌词LRC！"}};
  const auto seen = watch.Seen();
  ASSERT_EQ(seen.size(), expected.size());
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].title, expected[i].title) << i;
    EXPECT_EQ(seen[i].text, expected[i].text) << i;
  }
}

// Each press moves the pending line 0.5 s: a button, a hot key from the
// keyboard, and the other button, two seconds apart. Another program holds one
// of the hot keys: the label names it, the rest work.
TEST_F(Playback, TheOffsetButtonsAndAHotKeyMoveThePendingLineByHalfASecond) {
  ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, VK_OEM_6));
  player::RegisterHotKeys();
  UnregisterHotKey(nullptr, 1);
  EXPECT_EQ(forms::main::标签_热键().Text(),
            "全局热键：\r\nCtrl+Alt+[  歌词提前0.5秒\r\nCtrl+Alt+]  歌词推后0.5秒（已被其他程序占用，不能用）"
            "\r\nCtrl+Alt+\\  开始/停止跟随");
  const auto offset = [] { return forms::main::标签_偏移().Text(); };

  ASSERT_TRUE(wintest::ChooseFile("两秒一句.lrc"));
  Click("超级按钮4");
  ASSERT_TRUE(PumpUntilWritten(1, 5000));
  Click("按钮_提前");
  EXPECT_EQ(offset(), "偏移：0.5秒");
  ASSERT_TRUE(PumpUntilWritten(2, 5000));
  // Ctrl+Alt+[ pressed on the keyboard, wherever the focus is.
  ASSERT_TRUE(test::Xdotool(L"key ctrl+alt+bracketleft"));
  ASSERT_TRUE(test::PumpUntil([&] { return offset() == "偏移：1.0秒"; }, 3000)) << "no hot key came";
  ASSERT_TRUE(PumpUntilWritten(3, 5000));
  Click("按钮_推后");
  EXPECT_EQ(offset(), "偏移：0.5秒");
  ASSERT_TRUE(PumpUntilIdle(8000));

  const std::vector<Delivery> written = Written();
  ASSERT_EQ(wintest::Texts(written),
            (std::vector<std::string>{"第一句", "第二句", "第三句", "第四句", kNickname}));
  for (const auto& [i, gap] : {std::pair{1, 1500}, {2, 1500}, {3, 2500}}) {
    const double between = written[static_cast<std::size_t>(i)].received_ms -
                           written[static_cast<std::size_t>(i - 1)].received_ms;
    EXPECT_NEAR(between, gap, 150) << i;
  }
  Click("按钮_推后");  // the offset stays until a song change; later tests play without one
  EXPECT_EQ(offset(), "偏移：0.0秒");
}

// A file larger than this process can hold reads as no bytes: no lines, no message.
TEST_F(Playback, AFileTooLargeToHoldLoadsNothing) {
  if (sizeof(void*) != 4) GTEST_SKIP() << "a 64-bit process would read it all";
  wintest::DialogWatch watch;
  songs_->WriteZeros("巨大.lrc", 1900LL << 20);
  lyrics::RefreshLyricsFolder();
  ASSERT_TRUE(wintest::ChooseFile("巨大.lrc"));
  EXPECT_EQ(Lines().RowCount(), 0);
  EXPECT_EQ(lyrics::LoadedSong().count, 0);
  EXPECT_TRUE(watch.Seen().empty());
}

}  // namespace
