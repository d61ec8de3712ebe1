// The sources of the song that plays: a Winamp-compatible player window (the
// stand-in player) and the system media session (the stand-in provider,
// registered in this prefix while a test needs it), and the order they are
// picked in.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "player/media_session.h"
#include "player/sources.h"
#include "player/winamp_window.h"
#include "win/stand_in_media_session.h"
#include "win/stand_in_player.h"

namespace {

using namespace std::chrono_literals;
using player::Clock;
using player::NowPlaying;
using player::Source;
using player::Status;

// The session's latest snapshot once `wanted` holds for it, waiting up to 5 s.
template <class Wanted>
std::optional<NowPlaying> WaitForSnapshot(const player::MediaSession& session, Wanted wanted) {
  const Clock::time_point deadline = Clock::now() + 5s;
  for (;;) {
    std::optional<NowPlaying> now = session.Latest();
    if ((now && wanted(*now)) || Clock::now() > deadline) return now;
    Sleep(10);
  }
}

bool NoSession(const player::MediaSession& session) {
  const Clock::time_point deadline = Clock::now() + 5s;
  while (session.Latest() && Clock::now() < deadline) Sleep(10);
  return !session.Latest();
}

std::int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(WinampWindow, ReadsSongStatePositionAndLengthAndAHungPlayerAsAbsent) {
  wintest::StandInPlayer player;
  ASSERT_TRUE(player.started());
  // Chinese, and a Hangul syllable that GBK lacks.
  ASSERT_TRUE(player.Do(L"song 12|李白|静夜思 한|215000"));
  ASSERT_TRUE(player.Do(L"seek 60000"));
  std::optional<NowPlaying> now = player::ReadWinampWindow();
  ASSERT_TRUE(now);
  EXPECT_EQ(now->source, Source::WinampWindow);
  EXPECT_EQ(now->title, "静夜思 ?");
  EXPECT_EQ(now->artist, "李白");
  EXPECT_EQ(now->status, Status::Playing);
  ASSERT_TRUE(now->position_known);
  EXPECT_GE(now->position_ms, 60000);
  EXPECT_LT(now->position_ms, 60500);
  EXPECT_EQ(now->length_ms, 215000);

  // Carried on from its stamp, the position is where the player's own clock has it.
  Sleep(400);
  const std::optional<NowPlaying> later = player::ReadWinampWindow();
  ASSERT_TRUE(later);
  EXPECT_GE(later->position_ms - now->position_ms, 400);
  EXPECT_NEAR(static_cast<double>(now->PositionAt(later->stamp)), static_cast<double>(later->position_ms),
              50);

  ASSERT_TRUE(player.Do(L"pause"));  // the caption says " - Winamp [Paused]"
  now = player::ReadWinampWindow();
  ASSERT_TRUE(now);
  EXPECT_EQ(now->status, Status::Paused);
  EXPECT_EQ(now->title, "静夜思 ?");
  EXPECT_EQ(now->PositionAt(now->stamp + 5s), now->position_ms);

  ASSERT_TRUE(player.Do(L"stop"));
  now = player::ReadWinampWindow();
  ASSERT_TRUE(now);
  EXPECT_EQ(now->status, Status::Stopped);
  EXPECT_FALSE(now->position_known);

  ASSERT_TRUE(player.Do(L"hang 3000"));
  const Clock::time_point asked = Clock::now();
  EXPECT_FALSE(player::ReadWinampWindow());
  EXPECT_LT(MsSince(asked), 500);

  ASSERT_TRUE(player.Do(L"close"));
  ASSERT_TRUE(player.WaitForExit(5000));
  EXPECT_FALSE(player::ReadWinampWindow());
}

TEST(MediaSession, ReadsTheCurrentSessionBeforeAnyPlayerWindow) {
  wintest::StandInMediaSession stand_in;
  ASSERT_TRUE(stand_in.registered());
  const std::int64_t updated = wintest::StandInMediaSession::FileTimeNow() - 2000 * 10'000;  // 2 s ago
  ASSERT_TRUE(
      stand_in.Write(L"title=静夜思 한\nartist=李白\nstatus=4\nposition_ms=30000\nend_ms=200000\nrate=1.5\n"
                     L"updated=" +
                     std::to_wstring(updated) + L"\n"));
  std::optional<player::MediaSession> session(std::in_place);
  std::optional<NowPlaying> now = WaitForSnapshot(*session, [](const NowPlaying&) { return true; });
  ASSERT_TRUE(now);
  EXPECT_EQ(now->source, Source::MediaSession);
  EXPECT_EQ(now->title, "静夜思 ?");
  EXPECT_EQ(now->artist, "李白");
  EXPECT_EQ(now->status, Status::Playing);
  ASSERT_TRUE(now->position_known);
  EXPECT_EQ(now->position_ms, 30000);
  EXPECT_EQ(now->length_ms, 200000);
  EXPECT_EQ(now->rate, 1.5);
  // Position + (now - LastUpdatedTime) x rate.
  const double since_ms = static_cast<double>(wintest::StandInMediaSession::FileTimeNow() - updated) / 10'000;
  EXPECT_NEAR(static_cast<double>(now->PositionAt(Clock::now())), 30000 + since_ms * 1.5, 50);

  ASSERT_TRUE(
      stand_in.Write(L"title=静夜思\nartist=李白\nstatus=5\nposition_ms=45000\nend_ms=200000\nupdated=" +
                     std::to_wstring(wintest::StandInMediaSession::FileTimeNow()) + L"\n"));
  now = WaitForSnapshot(*session, [](const NowPlaying& s) { return s.status == Status::Paused; });
  ASSERT_TRUE(now);
  EXPECT_EQ(now->PositionAt(Clock::now() + 10s), 45000);

  // A player that publishes the song alone.
  ASSERT_TRUE(stand_in.Write(L"title=春晓\nartist=孟浩然\n"));
  now = WaitForSnapshot(*session, [](const NowPlaying& s) { return s.title == "春晓"; });
  ASSERT_TRUE(now);
  EXPECT_EQ(now->status, Status::Playing);
  EXPECT_FALSE(now->position_known);
  EXPECT_EQ(now->length_ms, -1);
  EXPECT_EQ(now->rate, 1.0);

  wintest::StandInPlayer player;
  ASSERT_TRUE(player.started());
  ASSERT_TRUE(player.Do(L"song 3|王维|相思|120000"));
  EXPECT_EQ(player::ReadNowPlaying(*session).title, "春晓");
  // Without a current session the player window is next.
  stand_in.End();
  ASSERT_TRUE(NoSession(*session));
  const NowPlaying picked = player::ReadNowPlaying(*session);
  EXPECT_EQ(picked.source, Source::WinampWindow);
  EXPECT_EQ(picked.title, "相思");

  const Clock::time_point closing = Clock::now();
  session.reset();
  EXPECT_LT(MsSince(closing), 300);
}

TEST(MediaSession, WithoutItsRegistrationThePlayerWindowThenNothing) {
  wintest::StandInMediaSession::Unregister();
  const player::MediaSession session;
  Sleep(1000);  // time enough to have tried the activation
  EXPECT_FALSE(session.Latest());
  {
    wintest::StandInPlayer player;
    ASSERT_TRUE(player.started());
    ASSERT_TRUE(player.Do(L"song 1|佚名|茉莉花|90000"));
    const NowPlaying picked = player::ReadNowPlaying(session);
    EXPECT_EQ(picked.source, Source::WinampWindow);
    EXPECT_EQ(picked.title, "茉莉花");
  }
  EXPECT_EQ(player::ReadNowPlaying(session).source, Source::None);
}

TEST(MediaSession, EndsPromptlyWhileAnOperationHangs) {
  wintest::StandInMediaSession stand_in;
  ASSERT_TRUE(stand_in.registered());
  ASSERT_TRUE(stand_in.Write(L"title=静夜思\nhang=1\n"));
  std::optional<player::MediaSession> session(std::in_place);
  Sleep(500);  // the reading waits for the media properties now
  const Clock::time_point asked = Clock::now();
  EXPECT_FALSE(session->Latest());
  EXPECT_LT(MsSince(asked), 50);
  const Clock::time_point closing = Clock::now();
  session.reset();
  EXPECT_LT(MsSince(closing), 300);
}

}  // namespace
