// The platform-free parts of following the user's music player: the song's
// clock, the line due on it, the lyrics file found for a song, and the texts
// of the page.
#include <gtest/gtest.h>

#include "lyrics/follow_texts.h"
#include "lyrics/song_file.h"
#include "player/song_clock.h"

namespace {

using namespace std::chrono_literals;
using player::Clock;

TEST(SongClock, RunsAtItsRateStandsWhenStoppedAndTellsWhenAPlaceIsDue) {
  const Clock::time_point t0 = Clock::now();
  player::SongClock clock;
  clock.Set(30000, t0, true, 1.5);
  EXPECT_EQ(clock.PositionAt(t0 + 2s), 33000);
  EXPECT_EQ(clock.PositionAt(t0 + 999us), 30001);  // truncated
  // Due at 31000: 1000 song-ms at 1.5 are 666.7 real ms, rounded up.
  EXPECT_EQ(clock.MsUntil(31000, t0), 667);
  EXPECT_GE(clock.PositionAt(t0 + 667ms), 31000);
  EXPECT_EQ(clock.MsUntil(29000, t0 + 1s), 0);

  clock.SetRunning(false, t0 + 2s);  // a pause keeps the place
  EXPECT_EQ(clock.PositionAt(t0 + 10s), 33000);
  EXPECT_EQ(clock.MsUntil(34000, t0 + 10s), -1);
  EXPECT_EQ(clock.MsUntil(33000, t0 + 10s), 0);
  clock.SetRunning(true, t0 + 10s);  // and the rate
  EXPECT_EQ(clock.PositionAt(t0 + 12s), 36000);
  clock.MoveTo(1000, t0 + 12s);  // a resync keeps running and rate
  EXPECT_EQ(clock.PositionAt(t0 + 14s), 4000);
}

TEST(SongClock, TheLineDueIsTheLastAtOrBeforeThePlace) {
  const std::vector<std::int32_t> times = {0, 300, 600, 600, 900};
  for (const auto& [position, line] : std::initializer_list<std::pair<std::int64_t, std::int32_t>>{
           {-500, 0}, {0, 1}, {299, 1}, {300, 2}, {600, 4}, {899, 4}, {900, 5}, {1000000, 5}}) {
    EXPECT_EQ(player::LineAt(times, position), line) << position;
  }
  EXPECT_EQ(player::LineAt({}, 100), 0);
  EXPECT_EQ(player::LineAt({500}, 100), 0);
  // Reports of one playback drift; a seek moves by more than a second.
  EXPECT_FALSE(player::IsSeek(60000, 60990));
  EXPECT_FALSE(player::IsSeek(60000, 59010));
  EXPECT_TRUE(player::IsSeek(60000, 61500));
  EXPECT_TRUE(player::IsSeek(60000, 10000));
}

TEST(SongFile, TitleFirstThenArtistAndTitleEitherWayWithoutRegardToAsciiCase) {
  const std::vector<std::string> files = {"Moon River - Andy.LRC", "李白 - 静夜思.lrc", "静夜思 - 李白.lrc",
                                          "春晓.lrc", "相思 - 王维.lrc"};
  struct Case {
    std::string_view title, artist;
    int index;
  };
  for (const Case& c : {Case{"春晓", "孟浩然", 3}, Case{"静夜思", "李白", 1}, Case{"相思", "王维", 4},
                        Case{"moon river", "ANDY", 0}, Case{"相思", "", -1}, Case{"", "李白", -1},
                        Case{"静夜", "李白", -1}}) {
    EXPECT_EQ(lyrics::FindSongFile(files, c.title, c.artist), c.index) << c.title;
  }
  // 丄 (81 41) and 乤 (81 61) differ in a trail byte that is an ASCII capital
  // and its small letter: different names. Beside them an ASCII letter's case
  // does not count.
  EXPECT_EQ(lyrics::FindSongFile({"\x81\x41.lrc"}, "\x81\x61", ""), -1);
  EXPECT_EQ(lyrics::FindSongFile({"A\x81\x41.LRC"}, "a\x81\x41", ""), 0);
}

// The page's own texts are checked where the page shows them (tests/win);
// here the arithmetic of the two with numbers.
TEST(FollowTexts, TimesAndOffsetInTheirUnits) {
  player::NowPlaying now;
  now.source = player::Source::WinampWindow;
  now.title = "静夜思";
  now.artist = "李白";
  now.length_ms = 215000;
  EXPECT_EQ(lyrics::SongText(now, 65999), "静夜思 - 李白  1:05 / 3:35");
  now.length_ms = -1;
  EXPECT_EQ(lyrics::SongText(now, 5000), "静夜思 - 李白  0:05");
  EXPECT_EQ(lyrics::SongText(now, -1), "静夜思 - 李白");
  for (const auto& [ms, text] :
       std::initializer_list<std::pair<std::int32_t, std::string_view>>{{0, "偏移：0.0秒"},
                                                                        {500, "偏移：0.5秒"},
                                                                        {-500, "偏移：-0.5秒"},
                                                                        {-2345, "偏移：-2.3秒"},
                                                                        {-50, "偏移：0.0秒"},
                                                                        {12000, "偏移：12.0秒"}}) {
    EXPECT_EQ(lyrics::OffsetText(ms), text) << ms;
  }
}

}  // namespace
