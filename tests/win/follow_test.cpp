// Following the user's music player: the stand-in Winamp-compatible player and
// the stand-in media session play songs, the program finds their lyrics in its
// folder and writes them into the stand-in target on the player's clock.
#include "lyrics/follow.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "forms/main_form.h"
#include "lyrics/playback.h"
#include "ui/win32.h"
#include "win/lyrics_fixture.h"
#include "win/stand_in_media_session.h"
#include "win/stand_in_player.h"

namespace {

using wintest::Delivery;
using wintest::kNickname;
using wintest::StandInMediaSession;
using Texts = std::vector<std::string>;

class Following : public wintest::LyricsFixture {
 protected:
  static void SetUpTestSuite() {
    StartSuite("lyrimark-跟随");
    // Named "<title>.lrc", "<artist> - <title>.lrc" and "<title> - <artist>.lrc".
    songs_->Write("静夜思.lrc", {"[00:00.500]床前明月光", "[00:01.000]疑是地上霜", "[00:02.500]举头望明月",
                                 "[00:03.000]低头思故乡", "[00:06.000]静夜思 李白"});
    songs_->Write("孟浩然 - 春晓.lrc",
                  {"[00:00.500]春眠不觉晓", "[00:01.000]处处闻啼鸟", "[01:00.000]夜来风雨声"});
    songs_->Write("登鹳雀楼 - 王之涣.lrc", {"[00:00.500]白日依山尽", "[01:00.000]黄河入海流"});
    songs_->Write("咏柳.lrc", {"[00:00.500]碧玉妆成一树高", "[00:01.000]万条垂下绿丝绦",
                               "[00:03.000]不知细叶谁裁出", "[00:05.000]二月春风似剪刀"});
  }
  void SetUp() override {
    StandInMediaSession::Unregister();  // a test that wants the session registers it
    LyricsFixture::SetUp();
    // This process's clock against the target's, taken while the target is
    // idle: a mark posted to the field is taken at once.
    const std::size_t before = Log().size();
    MarkStart();
    const double posted = NowMs();
    ASSERT_TRUE(test::PumpUntil([&] { return Log().size() > before; }, 5000));
    clockGap_ = Log()[before].received_ms - posted;
  }
  void TearDown() override {
    LyricsFixture::TearDown();
    lyrics::EndPlayerReading();  // as the program's exit does
  }

  static void Follow() { Click("选择框_跟随播放"); }
  static std::string PlayerText() { return forms::main::标签_播放器().Text(); }
  static std::string OffsetText() { return forms::main::标签_偏移().Text(); }
  static bool PumpUntilPlayerSays(const std::string& text) {
    return test::PumpUntil([&] { return PlayerText() == text; }, 5000);
  }

  static double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  // The moment the song was at 0 ms, on the target's clock, from where it is
  // now (`place`, in ms).
  template <class Place>
  double SongZero(Place place) const {
    return NowMs() - place() + clockGap_;
  }
  // Where the stand-in player's song is, as the player answers it.
  static double PlayerPlace(const wintest::StandInPlayer& player) {
    DWORD_PTR place = 0;
    SendMessageTimeoutW(player.window(), WM_USER, 0, 105, SMTO_ABORTIFHUNG, 2000, &place);
    return static_cast<double>(static_cast<std::int32_t>(place));
  }
  static std::wstring SessionState(std::wstring_view title, std::wstring_view artist, std::int64_t updated,
                                   int end_ms = 120000) {
    return L"title=" + std::wstring(title) + L"\nartist=" + std::wstring(artist) +
           L"\nstatus=4\nposition_ms=0\nend_ms=" + std::to_wstring(end_ms) + L"\nupdated=" +
           std::to_wstring(updated) + L"\n";
  }
  // How many requests for one song the local site's lyrics service has had.
  static std::size_t SongRequests() {
    const char* log = std::getenv("LYRIMARK_SITE_LOG");
    if (!log) return 0;
    std::string path = log;
    for (char& c : path) c = c == '/' ? '\\' : c;
    std::ifstream in("Z:" + path, std::ios::binary);
    std::size_t n = 0;
    for (std::string line; std::getline(in, line);)
      n += line.find("\"path\": \"/api/get?") != std::string::npos;
    return n;
  }

  // Written at `due` on the target's clock: not before it, and not much after.
  static void ExpectOnTime(const Delivery& d, double due) {
    EXPECT_GE(d.received_ms, due - 15) << d.text << " came early";
    EXPECT_LE(d.received_ms, due + 400) << d.text << " came late";
  }
  // What the field took, without the mark: the messages of the deliveries alone.
  std::vector<wintest::InputMessage> ReceivedWithoutMarks() const {
    std::vector<wintest::InputMessage> got;
    for (const wintest::LoggedMessage& m : Log()) {
      if (!IsStartMark(m)) got.push_back(m.input);
    }
    return got;
  }

  double clockGap_ = 0;  // the target's clock minus this process's, in ms
};

TEST_F(Following, TheWinampPlayersSongAtItsTimesThroughSeeksAPauseAndItsEnd) {
  wintest::StandInPlayer player;
  ASSERT_TRUE(player.started());
  const auto place = [&] { return PlayerPlace(player); };
  Follow();
  EXPECT_TRUE(forms::main::选择框_跟随播放().Checked());
  EXPECT_EQ(PlayerText(), "Winamp兼容播放器：没有正在播放的歌曲");

  ASSERT_TRUE(player.Do(L"song 1|李白|静夜思|7000"));
  const double start = SongZero(place);
  ASSERT_TRUE(PumpUntilWritten(3, 5000));
  EXPECT_EQ(forms::main::文件框1().CurrentFile(), "静夜思.lrc");
  EXPECT_EQ(Lines().RowCount(), 5);
  EXPECT_EQ(Caption(), "停 止");
  EXPECT_EQ(Lines().CurrentRow(), 2);
  EXPECT_EQ(lyrics::CurrentLine(), 4);
  EXPECT_EQ(PlayerText(), "Winamp兼容播放器：正在播放");
  EXPECT_TRUE(forms::main::标签_当前歌曲().Text().starts_with("静夜思 - 李白  0:02 / 0:07"));

  // Back to 0.6 s: the first line again at once, then the second at its time.
  ASSERT_TRUE(player.Do(L"seek 600"));
  const double back = SongZero(place);
  ASSERT_TRUE(PumpUntilWritten(5, 5000));
  // On to 3.1 s: the fourth line at once.
  ASSERT_TRUE(player.Do(L"seek 3100"));
  const double forward = SongZero(place);
  ASSERT_TRUE(PumpUntilWritten(6, 5000));
  // Paused, nothing more; the last line at its time after the pause.
  ASSERT_TRUE(player.Do(L"pause"));
  ASSERT_TRUE(PumpUntilPlayerSays("Winamp兼容播放器：已暂停"));
  test::Pump(1500);
  EXPECT_EQ(Written().size(), 6u);
  EXPECT_EQ(Caption(), "停 止");
  ASSERT_TRUE(player.Do(L"play"));
  const double resumed = SongZero(place);
  // At 7 s the player stops: playback ends and the nickname comes back.
  ASSERT_TRUE(PumpUntilIdle(10000));
  EXPECT_EQ(lyrics::CurrentLine(), 0);
  EXPECT_EQ(PlayerText(), "Winamp兼容播放器：已停止");

  const std::vector<Delivery> written = Written();
  ASSERT_EQ(wintest::Texts(written), (Texts{"床前明月光", "疑是地上霜", "举头望明月", "床前明月光",
                                            "疑是地上霜", "低头思故乡", "静夜思 李白", kNickname}));
  // Every line as a lyrics line, byte for byte, and the nickname as a caption.
  Texts lines = wintest::Texts(written);
  lines.pop_back();
  EXPECT_EQ(ReceivedWithoutMarks(), Expected(lines, true));
  ExpectOnTime(written[0], start + 500);
  ExpectOnTime(written[1], start + 1000);
  ExpectOnTime(written[2], start + 2500);
  EXPECT_LE(written[3].received_ms, back + 600 + 400);  // the seek's line at once
  ExpectOnTime(written[4], back + 1000);
  EXPECT_LE(written[5].received_ms, forward + 3100 + 400);
  ExpectOnTime(written[6], resumed + 6000);
}

TEST_F(Following, TheMediaSessionsSongsOneWithoutLyricsThenTheSessionsEnd) {
  StandInMediaSession session;
  ASSERT_TRUE(session.registered());
  std::int64_t updated = StandInMediaSession::FileTimeNow();
  const auto place = [&] {
    return static_cast<double>(StandInMediaSession::FileTimeNow() - updated) / 10'000;
  };
  ASSERT_TRUE(session.Write(SessionState(L"春晓", L"孟浩然", updated)));
  Follow();
  const double start = SongZero(place);
  ASSERT_TRUE(PumpUntilWritten(2, 5000));
  EXPECT_EQ(forms::main::文件框1().CurrentFile(), "孟浩然 - 春晓.lrc");
  EXPECT_EQ(PlayerText(), "系统媒体会话：正在播放");
  Click("按钮_提前");
  EXPECT_EQ(OffsetText(), "偏移：0.5秒");

  // A song with no lyrics anywhere, the lyrics service asked too: the list
  // empties and the nickname comes back.
  forms::main::选择框_自动下载().SetChecked(true);
  const std::size_t asked = SongRequests();
  ASSERT_TRUE(session.Write(SessionState(L"无名曲", L"佚名", StandInMediaSession::FileTimeNow())));
  ASSERT_TRUE(PumpUntilPlayerSays("系统媒体会话：正在播放，没有找到歌词"));
  EXPECT_EQ(Lines().RowCount(), 0);
  EXPECT_EQ(Caption(), "播 放");
  EXPECT_EQ(OffsetText(), "偏移：0.0秒");

  // A song only the lyrics service has: asked for once, saved beside the
  // program as the search page saves it, and played on the player's clock.
  const std::wstring saved = ui::ModuleDirectory() + L"\\枫桥夜泊.lrc";
  DeleteFileW(saved.c_str());
  updated = StandInMediaSession::FileTimeNow();
  ASSERT_TRUE(session.Write(SessionState(L"枫桥夜泊", L"张继", updated, 20000)));
  const double fetched = SongZero(place);
  ASSERT_TRUE(PumpUntilWritten(4, 8000));
  EXPECT_EQ(Lines().Cell(1, 1), "江枫渔火对愁眠");
  EXPECT_EQ(SongRequests(), asked + 2) << "one request a song";
  EXPECT_NE(GetFileAttributesW(saved.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileW(saved.c_str());

  updated = StandInMediaSession::FileTimeNow();
  ASSERT_TRUE(session.Write(SessionState(L"登鹳雀楼", L"王之涣", updated)));
  const double next = SongZero(place);
  ASSERT_TRUE(PumpUntilWritten(5, 5000));
  EXPECT_EQ(forms::main::文件框1().CurrentFile(), "登鹳雀楼 - 王之涣.lrc");
  // The session ends: so does playback.
  session.End();
  ASSERT_TRUE(PumpUntilIdle(5000));
  EXPECT_EQ(PlayerText(), "没有找到正在播放的歌曲");

  const std::vector<Delivery> written = Written();
  ASSERT_EQ(wintest::Texts(written),
            (Texts{"春眠不觉晓", "处处闻啼鸟", kNickname, "月落乌啼霜满天", "白日依山尽", kNickname}));
  ExpectOnTime(written[0], start + 500);
  ExpectOnTime(written[1], start + 1000);
  ExpectOnTime(written[3], fetched + 1000);
  ExpectOnTime(written[4], next + 500);
}

TEST_F(Following, ATitleOnlySessionRunsFromTheSongChangeStandsInAPauseAndADoubleClickResyncs) {
  StandInMediaSession session;
  ASSERT_TRUE(session.registered());
  ASSERT_TRUE(session.Write(L"title=咏柳\nartist=贺知章\n"));
  Follow();
  ASSERT_TRUE(PumpUntilWritten(2, 5000));
  EXPECT_EQ(PlayerText(), "系统媒体会话：正在播放（只报歌名，双击歌词行对齐）");
  // The program's own clock: the lines their gap apart.
  std::vector<Delivery> written = Written();
  EXPECT_NEAR(written[1].received_ms - written[0].received_ms, 500, 150);

  ASSERT_TRUE(session.Write(L"title=咏柳\nartist=贺知章\nstatus=5\n"));
  ASSERT_TRUE(PumpUntilPlayerSays("系统媒体会话：已暂停（只报歌名，双击歌词行对齐）"));
  test::Pump(2500);  // the third line would be due by now
  EXPECT_EQ(Written().size(), 2u);
  ASSERT_TRUE(session.Write(L"title=咏柳\nartist=贺知章\nstatus=4\n"));
  ASSERT_TRUE(PumpUntilWritten(3, 5000));

  // The user hears the first line now: it is written at once, the second
  // follows a full gap later.
  DoubleClickList(RowCentre(0));
  ASSERT_TRUE(PumpUntilWritten(5, 3000));
  written = Written();
  EXPECT_NEAR(written[4].received_ms - written[3].received_ms, 500, 150);
  EXPECT_EQ(Lines().CurrentRow(), 1);

  // "停 止" ends following, and gives no nickname.
  Click("超级按钮4");
  EXPECT_FALSE(forms::main::选择框_跟随播放().Checked());
  EXPECT_EQ(Caption(), "播 放");
  EXPECT_EQ(forms::main::时钟_跟随().Interval(), 0);
  EXPECT_EQ(Interval(), 0);
  test::Pump(700);
  EXPECT_EQ(wintest::Texts(Written()), (Texts{"碧玉妆成一树高", "万条垂下绿丝绦", "不知细叶谁裁出",
                                              "碧玉妆成一树高", "万条垂下绿丝绦"}));
}

// Without the session's registration the player window is followed; with
// neither, the page says so.
TEST_F(Following, ThePlayerClosingMidSongEndsPlaybackAndWithNoSourceThePageSaysSo) {
  Follow();
  EXPECT_EQ(PlayerText(), "没有找到正在播放的歌曲");
  {
    wintest::StandInPlayer player;
    ASSERT_TRUE(player.started());
    ASSERT_TRUE(player.Do(L"song 2|李白|静夜思|60000"));
    ASSERT_TRUE(PumpUntilWritten(1, 5000));
    EXPECT_EQ(PlayerText(), "Winamp兼容播放器：正在播放");
    ASSERT_TRUE(player.Do(L"close"));
    ASSERT_TRUE(player.WaitForExit(5000));
    ASSERT_TRUE(PumpUntilIdle(5000));
  }
  EXPECT_EQ(PlayerText(), "没有找到正在播放的歌曲");
  EXPECT_EQ(wintest::Texts(Written()), (Texts{"床前明月光", kNickname}));
  // Unticked, following ends.
  Follow();
  EXPECT_FALSE(forms::main::选择框_跟随播放().Checked());
  EXPECT_EQ(forms::main::时钟_跟随().Interval(), 0);
  EXPECT_EQ(PlayerText(), "");
}

}  // namespace
