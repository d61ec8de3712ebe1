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
#include "lyrics/song_rows.h"
#include "text/lyrics_encoding.h"
#include "ui/message_box.h"
#include "ui/paint_while.h"
#include "ui/scoped.h"

namespace lyrics {

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kPlay[] = "播 放";
constexpr char kStop[] = "停 止";

struct Playback {
  SongLyrics song;
  std::int32_t currentLine = 0;
  // The moment that is 0 ms of the song. Each line is scheduled against it, so
  // delivery time and timer rounding never add up along the song.
  Clock::time_point songStart;
  // Changes at every stop, pause, load and jump: a tick that finds it changed
  // after its delivery leaves the scheduling to whoever changed it.
  unsigned generation = 0;
};

Playback state;

// The units by their roles.
constexpr auto Lines = forms::main::超级列表框_歌词;
constexpr auto PlaybackTimer = forms::main::时钟_歌词播放;
constexpr auto PlayButton = forms::main::超级按钮4;

std::int32_t TimeOf(std::int32_t line) {
  return state.song.times[static_cast<std::size_t>(line - 1)];
}

std::int64_t SongMillis() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - state.songStart).count();
}

// Arms the timer for the moment `line` is due on the song's clock.
void ScheduleLine(std::int32_t line) {
  const std::int64_t left = TimeOf(line) - SongMillis();
  PlaybackTimer().SetInterval(static_cast<int>(std::clamp<std::int64_t>(left, 1, INT32_MAX)));
}

// No tick is pending after this, and one inside its delivery now leaves the
// scheduling alone.
void Halt() {
  ++state.generation;
  PlaybackTimer().SetInterval(0);
  PlayButton().SetText(kPlay);
}

void EndOfSong() {
  state.currentLine = 0;
  Halt();
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
    state.songStart = Clock::now();
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
  if (resync) state.songStart = Clock::now() - std::chrono::milliseconds(TimeOf(line));
  Lines().SetCurrentRow(line - 1);
  const unsigned generation = ++state.generation;
  caption::SendCaption(finder::TargetHandle().value_or(nullptr), Lines().Cell(line - 1, 1),
                       caption::TextKind::kLyricsLine);
  // Handlers ran inside the delivery's wait: a stop, pause, load or jump there
  // has set the state as it should stay.
  if (!forms::MainOpen() || generation != state.generation) return;
  if (line >= song.count) {
    EndOfSong();
    if (!forms::MainOpen()) return;  // closed inside the nickname's delivery
  } else {
    state.currentLine = line + 1;
    ScheduleLine(line + 1);
  }
  Lines().ScrollTo(Lines().CurrentRow());
}

}  // namespace

const SongLyrics& LoadedSong() {
  return state.song;
}
int CurrentLine() {
  return state.currentLine;
}

void LoadLyricsFile() {
  caption::DispatchPendingMessages();
  if (!forms::MainOpen()) return;  // a close that was pending has just run
  if (PlayButton().Text() != kPlay) {
    // Playing: the choice pauses playback and loads nothing.
    Halt();
    caption::RestoreNickname();
    return;
  }
  // With no file chosen there is no path: it reads as no bytes, and the old
  // song goes from the list. The file opens by its real name, which may hold
  // what GBK lacks.
  const ui::FileList files = forms::main::文件框1();
  const std::wstring path = files.CurrentPath();
  forms::main::透明标签1().SetText(files.CurrentFile());

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
    ui::ShowMessage("解析失败,未知原因！", {}, {.icon = ui::Icon::Information});
    return;
  }
  Lines().SetRows(std::move(rows));
}

void TogglePlayback() {
  if (!finder::TargetHandle()) {
    ui::ShowMessage("请选取要发送的程序位置！", "没有目标", {.icon = ui::Icon::Information});
    return;
  }
  if (PlayButton().Text() == kPlay) {
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
  Halt();
  state.currentLine = 0;
}

void LyricsTick() {
  Tick(false);
}

void JumpToLine() {
  if (PlayButton().Text() != kStop) return;
  const ui::ReportList lines = Lines();
  // No current row reads as line 0: playback starts over.
  state.currentLine = static_cast<std::int32_t>(lines.ItemData(lines.CurrentRow()));
  ++state.generation;
  Tick(true);
}

}  // namespace lyrics
