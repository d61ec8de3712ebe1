#include "lyrics/playback.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <new>
#include <string>

#include "caption/caption_modes.h"
#include "caption/delivery.h"
#include "caption/waits.h"
#include "finder/target_handle.h"
#include "forms/main_form.h"
#include "lyrics/follow.h"
#include "lyrics/follow_texts.h"
#include "lyrics/song_rows.h"
#include "text/lyrics_encoding.h"
#include "ui/message_box.h"
#include "ui/paint_while.h"
#include "ui/scoped.h"

namespace lyrics {

namespace {

using player::Clock;

constexpr char kPlay[] = "播 放";
constexpr char kStop[] = "停 止";
constexpr std::int32_t kOffsetStepMs = 500;
constexpr std::int32_t kLargestOffsetMs = 600'000;

struct Playback {
  SongLyrics song;
  std::int32_t currentLine = 0;
  // Where the song is. Each line is scheduled against it, so delivery time and
  // timer rounding never add up along the song.
  player::SongClock clock;
  // How much earlier than their stamps the lines come (negative: later).
  std::int32_t offset = 0;
  // Changes at every stop, pause, load and jump: a tick that finds it changed
  // after its delivery leaves the scheduling to whoever changed it.
  unsigned generation = 0;
  int deliveries = 0;  // lines being delivered: handlers (another delivery too) run inside their waits
  // Following the user's player: its clock is the song's, and the line written
  // is the one due on it.
  bool positionKnown = false;    // the player reports where the song is
  std::int32_t lastWritten = 0;  // the line the target shows; 0: none of this song yet
};

Playback state;

// The units by their roles.
constexpr auto Lines = forms::main::超级列表框_歌词;
constexpr auto PlaybackTimer = forms::main::时钟_歌词播放;
constexpr auto PlayButton = forms::main::超级按钮4;

std::int32_t TimeOf(std::int32_t line) {
  return state.song.times[static_cast<std::size_t>(line - 1)];
}

// Following the user's player is on while its box is ticked.
bool Following() {
  return forms::main::选择框_跟随播放().Checked();
}

// A song plays (or stands paused by its player while following) while the
// button offers to stop it.
bool Playing() {
  return PlayButton().Text() == kStop;
}

// The song's place as the lyrics see it: the offset puts them ahead of it.
std::int64_t SongMillis() {
  return state.clock.PositionAt(Clock::now()) + state.offset;
}

// Arms the timer for the moment `line` is due on the song's clock; stops it
// while the clock stands.
void ScheduleLine(std::int32_t line) {
  const std::int64_t left = state.clock.MsUntil(TimeOf(line) - state.offset, Clock::now());
  PlaybackTimer().SetInterval(left < 0 ? 0 : static_cast<int>(std::clamp<std::int64_t>(left, 1, INT32_MAX)));
}

// Writes the text of `line`'s row into the target as a lyrics line. False when
// handlers that ran inside the delivery changed playback (they have set it as
// it should stay) or closed the main window.
bool Deliver(std::int32_t line) {
  Lines().SetCurrentRow(line - 1);
  const unsigned generation = ++state.generation;
  ++state.deliveries;
  caption::SendCaption(finder::TargetHandle().value_or(nullptr), Lines().Cell(line - 1, 1),
                       caption::TextKind::kLyricsLine);
  --state.deliveries;
  return forms::MainOpen() && generation == state.generation;
}

// The offset, kept within its bounds, and shown on the page.
void SetOffset(std::int64_t ms) {
  state.offset = static_cast<std::int32_t>(std::clamp<std::int64_t>(ms, -kLargestOffsetMs, kLargestOffsetMs));
  forms::main::标签_偏移().SetText(OffsetText(state.offset));
}

// No tick is pending after this, and one inside its delivery now leaves the
// scheduling alone.
void Halt() {
  ++state.generation;
  PlaybackTimer().SetInterval(0);
  PlayButton().SetText(kPlay);
}

void EndOfSong() {
  StopPlayback();
  caption::RestoreNickname();
}

// The whole file; nothing when it cannot be read, or is larger than this
// process can hold (a 32-bit program meets that below 2 GB).
std::string ReadFileBytes(const std::wstring& path) {
  std::string bytes;
  const ui::Handle file = ui::OwnFile(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  const HANDLE f = file.get();
  if (!f) return bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(f, &size) && size.QuadPart > 0 && size.QuadPart < INT32_MAX) {
    try {
      bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
    }
    DWORD got = 0;
    if (bytes.empty() || !ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
    bytes.resize(got);
  }
  return bytes;
}

// Writes the pending line and schedules the next. `resync`: the line written
// now counts as written at its own stamp (a resume or a jump); a timer tick
// keeps the clock.
void Tick(bool resync) {
  const SongLyrics& song = state.song;
  if (song.count == 0) return;
  if (state.currentLine == 0) {
    state.currentLine = 1;
    state.clock.Set(0, Clock::now(), true);
    if (song.times[0] != 0) {
      ScheduleLine(1);
      Lines().ScrollTo(Lines().CurrentRow());
      return;
    }
    // A first line at 0 ms is shown but not written; the second is the first written.
    Lines().SetCurrentRow(0);
    if (song.count > 1) {
      state.currentLine = 2;
      ScheduleLine(2);
      Lines().ScrollTo(0);
      return;
    }
    // A song of that one line has nothing to wait for: it is written now, as
    // its last line, below.
  }

  const std::int32_t line = state.currentLine;
  // No tick may run inside this one's delivery: the next is armed after it.
  PlaybackTimer().SetInterval(0);
  if (resync) state.clock.Set(TimeOf(line) - state.offset, Clock::now(), true);
  // Handlers ran inside the delivery's wait: a stop, pause, load or jump there
  // has set the state as it should stay.
  if (!Deliver(line)) return;
  if (line >= song.count) {
    EndOfSong();
    if (!forms::MainOpen()) return;  // closed inside the nickname's delivery
  } else {
    state.currentLine = line + 1;
    ScheduleLine(line + 1);
  }
  Lines().ScrollTo(Lines().CurrentRow());
}

// Following: brings the target to the line due on the song's clock and arms
// the timer for the next. A line goes back only with `back` (a seek, a new
// offset, a jump): between the player's reports the two clocks drift a little
// apart, and a line once written stays until the next one is due.
void FollowClock(bool back) {
  if (!Following() || !Playing()) return;
  ++state.generation;  // a tick inside a delivery of ours now leaves the scheduling to this one
  PlaybackTimer().SetInterval(0);
  const std::int32_t line = player::LineAt(state.song.times, SongMillis());
  if (back ? line != state.lastWritten : line > state.lastWritten) {
    state.lastWritten = line;  // before the delivery, so that one nested in it does not write it again
    state.currentLine = line + 1;
    if (line == 0) {
      Lines().SetCurrentRow(-1);  // back before the first line: nothing to write
    } else if (!Deliver(line)) {
      return;
    }
    Lines().ScrollTo(Lines().CurrentRow());
  }
  if (state.lastWritten < state.song.count) ScheduleLine(state.lastWritten + 1);
}

// Following: the player's song begins to play (or stands paused) here.
void StartFollowedSong() {
  state.lastWritten = 0;
  state.currentLine = 1;
  PlayButton().SetText(kStop);
}

void ShiftLyrics(std::int32_t ms) {
  SetOffset(state.offset + ms);
  if (!Playing()) return;
  if (Following()) {
    FollowClock(true);
  } else if (state.currentLine > 0 && state.deliveries == 0) {
    // (Inside a tick's delivery the tick schedules its next line after it,
    // with the new offset.)
    ScheduleLine(state.currentLine);
  }
}

}  // namespace

const SongLyrics& LoadedSong() {
  return state.song;
}
int CurrentLine() {
  return state.currentLine;
}

bool LoadChosenFile() {
  // With no file chosen there is no path: it reads as no bytes, and the old
  // song goes from the list. The file opens by its real name, which may hold
  // what GBK lacks.
  const ui::FileList files = forms::main::文件框1();
  return LoadSongFile(files.CurrentPath(), files.CurrentFile());
}

bool LoadSongFile(const std::wstring& path, const std::string& name) {
  forms::main::透明标签1().SetText(name);
  ++state.generation;
  state.currentLine = 0;
  Lines().Clear();
  Lines().SetCurrentRow(-1);
  std::vector<ui::Row> rows;
  bool parsed = false;
  // A large file takes a while to read and parse; the window paints meanwhile.
  ui::PaintWhile([&] { parsed = ReadSong(text::LyricsText(ReadFileBytes(path)), state.song, rows); });
  if (!parsed) {
    state.song = {};
    return false;
  }
  Lines().SetRows(std::move(rows));
  return true;
}

void ClearSong() {
  ++state.generation;
  state.song = {};
  state.currentLine = 0;
  Lines().Clear();
  Lines().SetCurrentRow(-1);
  forms::main::透明标签1().SetText("");
}

void LoadLyricsFile() {
  caption::DispatchPendingMessages();
  if (!forms::MainOpen()) return;  // a close that was pending has just run
  if (Following()) {
    // The user's choice for the song that plays: the player's next report
    // plays it from where the song is.
    Halt();
  } else if (Playing()) {
    // Playing: the choice pauses playback and loads nothing.
    Halt();
    caption::RestoreNickname();
    return;
  }
  if (!LoadChosenFile()) ui::ShowMessage("解析失败,未知原因！", {}, {.icon = ui::Icon::Information});
}

void TogglePlayback() {
  if (Following()) {
    // Either caption ends following; "播 放" then plays the loaded song from its start.
    const bool playing = Playing();
    StopFollowing();
    if (playing) return;
  }
  if (!finder::TargetHandle()) {
    ui::ShowMessage("请选取要发送的程序位置！", "没有目标", {.icon = ui::Icon::Information});
    return;
  }
  if (!Playing()) {
    if (state.song.count == 0) {
      ui::ShowMessage("请先选择歌词LRC！", "没有歌词", {.icon = ui::Icon::Information});
      return;
    }
    // The caption goes first, so a click inside the first delivery is a stop;
    // a song that ends in this very tick sets it back.
    PlayButton().SetText(kStop);
    // From the start, or a resume with the pending line, written at once.
    Tick(state.currentLine != 0);
    return;
  }
  StopPlayback();
}

void LyricsTick() {
  if (Following()) {
    FollowClock(false);
  } else {
    Tick(false);
  }
}

void JumpToLine() {
  if (!Playing()) return;
  const ui::ReportList lines = Lines();
  // No current row reads as line 0: playback starts over.
  const auto line = static_cast<std::int32_t>(lines.ItemData(lines.CurrentRow()));
  if (Following()) {
    // That line is now: for a player that reports its place the offset takes
    // the difference (its next report would undo a moved clock), else the
    // program's clock moves.
    if (line == 0) return;
    const Clock::time_point now = Clock::now();
    if (state.positionKnown) {
      SetOffset(TimeOf(line) - state.clock.PositionAt(now));
    } else {
      state.clock.MoveTo(TimeOf(line) - state.offset, now);
    }
    FollowClock(true);
    return;
  }
  state.currentLine = line;
  ++state.generation;
  Tick(true);
}

void LyricsEarlier() {
  ShiftLyrics(kOffsetStepMs);
}
void LyricsLater() {
  ShiftLyrics(-kOffsetStepMs);
}

void StopPlayback() {
  state.lastWritten = 0;
  state.currentLine = 0;
  Halt();
}

bool FollowNewSong() {
  const bool playing = Playing();
  StopPlayback();
  SetOffset(0);
  return playing;
}

void FollowSongAt(std::int64_t position_ms, Clock::time_point stamp, bool playing, double rate) {
  if (!Following() || state.song.count == 0) return;
  const Clock::time_point now = Clock::now();
  player::SongClock reported;
  reported.Set(position_ms, stamp, playing, rate);
  const bool starting = !Playing();
  const bool seek = starting || !state.positionKnown ||
                    player::IsSeek(state.clock.PositionAt(now), reported.PositionAt(now));
  state.positionKnown = true;
  state.clock = reported;
  if (starting) StartFollowedSong();
  FollowClock(seek);
}

void FollowSongRunning(bool playing) {
  if (!Following() || state.song.count == 0) return;
  const Clock::time_point now = Clock::now();
  if (!Playing() || state.positionKnown) {
    // The song's start (or its start again after a stop) is its time 0.
    state.positionKnown = false;
    state.clock.Set(0, now, playing);
    StartFollowedSong();
    FollowClock(true);
  } else if (playing != state.clock.running()) {
    state.clock.SetRunning(playing, now);
    FollowClock(false);
  }
}

void EndFollowedSong() {
  if (!Following() || !Playing()) return;
  EndOfSong();
}

std::int64_t FollowedPosition() {
  if (!Following() || !Playing()) return -1;
  return state.clock.PositionAt(Clock::now());
}

}  // namespace lyrics
