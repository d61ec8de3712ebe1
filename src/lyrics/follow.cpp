#include "lyrics/follow.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "caption/caption_modes.h"
#include "finder/target_handle.h"
#include "forms/main_form.h"
#include "lyrics/follow_texts.h"
#include "lyrics/library.h"
#include "lyrics/online_search.h"
#include "lyrics/playback.h"
#include "lyrics/song_file.h"
#include "player/media_session.h"
#include "player/sources.h"
#include "text/convert.h"
#include "ui/guard.h"
#include "ui/message_box.h"
#include "ui/message_loop.h"

namespace lyrics {

namespace {

// Often enough that a seek or a new song shows within a quarter second; the
// lines between reports are scheduled on the song's clock, not by this.
constexpr int kReadEveryMs = 250;

struct Following {
  std::unique_ptr<player::MediaSession> session;  // from following's start to its end, or to the exit
  // The song last seen; a change of any of these is a song change.
  bool hasSong = false;
  std::string title, artist;
  bool reading = false;      // inside FollowTick: a tick that comes in its waits does nothing
  bool downloading = false;  // the lyrics service is asked for the song's lyrics
};

Following following;
// Counts the song changes of every following: an answer tells which it is for.
unsigned songChanges = 0;

// A download's answer on its way from its thread to this one. Made once and
// never destroyed: a download may still be under way when the program ends.
struct Arrival {
  std::mutex lock;
  unsigned songChange = 0;  // the song change it was asked for; a later one's answer is kept
  std::optional<ServiceTrack> track;
};
Arrival& TheArrival() {
  static Arrival* const arrival = new Arrival;
  return *arrival;
}

void SetIfChanged(const ui::Label& label, const std::string& text) {
  if (label.Text() != text) label.SetText(text);
}

// The answer of the lyrics service for the song that plays: its lyrics are
// saved as a double-click on the search page saves them, and become the
// song's lyrics, unless the user has picked a file for it meanwhile. An
// answer for an earlier song, or for a following since ended, is dropped.
void SongLyricsArrived() {
  Arrival& arrival = TheArrival();
  std::optional<ServiceTrack> track;
  {
    std::lock_guard hold(arrival.lock);
    if (arrival.songChange != songChanges || !following.downloading) return;
    track = std::move(arrival.track);
  }
  following.downloading = false;
  if (!forms::MainOpen() || !track) return;
  const std::wstring path = SaveServiceLyrics(*track);
  if (path.empty()) return;
  RefreshLyricsFolder();  // as after a double-click: the folder shows what it holds now
  if (LoadedSong().count > 0) return;
  if (!LoadSongFile(path, text::Utf16ToGbk(track->title) + ".lrc") || LoadedSong().count == 0) ClearSong();
}

// With 选择框_自动下载 ticked and no lyrics file in the folder: one request to
// the lyrics service per song change, with the song's title, artist and (when
// known) length. It runs on a thread of its own, so nothing waits for it.
void DownloadSongLyrics(const player::NowPlaying& song) {
  const std::string address = ServiceSongRequest(
      song.title, song.artist, song.length_ms > 0 ? static_cast<int>(song.length_ms / 1000) : 0);
  if (address.empty() || !ui::PrepareUiThread()) return;
  const unsigned asked = songChanges;
  try {
    std::thread([address, asked] {
      ui::Guarded([&] {
        std::optional<ServiceTrack> track = AskServiceSong(address);
        Arrival& arrival = TheArrival();
        std::lock_guard hold(arrival.lock);
        if (asked < arrival.songChange) return;  // a later song's answer came first
        arrival.songChange = asked;
        arrival.track = std::move(track);
      });
      ui::RunOnUiThread(SongLyricsArrived);
    }).detach();
    following.downloading = true;
  } catch (const std::system_error&) {
    // No thread: no download, as when the service has no lyrics.
  }
}

// A new song, or none: its lyrics from the folder of 编辑框1.
void ChangeSong(const player::NowPlaying& now) {
  const bool wasPlaying = FollowNewSong();
  ++songChanges;
  following.downloading = false;
  bool found = false;
  if (following.hasSong) {
    const ui::FileList files = forms::main::文件框1();
    files.SetDirectory(forms::main::编辑框1().WideText());  // what is there now, under the name typed there
    const int index = FindSongFile(files.Files(), now.title, now.artist);
    files.SetCurrent(index);
    if (index >= 0) found = LoadChosenFile() && LoadedSong().count > 0;
    if (!found) ClearSong();
    if (!found && forms::main::选择框_自动下载().Checked()) DownloadSongLyrics(now);
  }
  // The old song's last line would stay in the field with none to follow it.
  if (wasPlaying && !found) caption::RestoreNickname();
}

void ShowPlayer(const player::NowPlaying& now) {
  const std::int64_t position =
      now.position_known ? now.PositionAt(player::Clock::now()) : FollowedPosition();
  const SongLyricsState lyrics = LoadedSong().count > 0  ? SongLyricsState::kFound
                                 : following.downloading ? SongLyricsState::kDownloading
                                                         : SongLyricsState::kNone;
  SetIfChanged(forms::main::标签_播放器(), PlayerText(now, lyrics));
  SetIfChanged(forms::main::标签_当前歌曲(), SongText(now, position));
}

}  // namespace

void ToggleFollowing() {
  const ui::CheckBox box = forms::main::选择框_跟随播放();
  if (!box.Checked()) {
    StopFollowing();
    return;
  }
  if (!finder::TargetHandle()) {
    box.SetChecked(false);
    ui::ShowMessage("请选取要发送的程序位置！", "没有目标", {.icon = ui::Icon::Information});
    return;
  }
  StopPlayback();  // a song that plays from "播 放" stops as by its button
  following = {};  // a reading left from before ends
  following.session = std::make_unique<player::MediaSession>();
  forms::main::时钟_跟随().SetInterval(kReadEveryMs);
  FollowTick();
}

void ToggleFollowingByKey() {
  const ui::CheckBox box = forms::main::选择框_跟随播放();
  box.SetChecked(!box.Checked());
  ToggleFollowing();
}

void FollowTick() {
  if (!following.session || following.reading) return;
  following.reading = true;
  struct Done {
    ~Done() { following.reading = false; }
  } done;
  const player::NowPlaying now = player::ReadNowPlaying(*following.session);
  const bool hasSong = now.source != player::Source::None && !now.title.empty();
  if (hasSong != following.hasSong || now.title != following.title || now.artist != following.artist) {
    following.hasSong = hasSong;
    following.title = now.title;
    following.artist = now.artist;
    ChangeSong(now);
    // The nickname's delivery waits: the window may have closed, or following stopped.
    if (!forms::MainOpen() || !following.session) return;
  }
  if (!hasSong || now.status == player::Status::Stopped) {
    EndFollowedSong();
  } else if (now.position_known) {
    FollowSongAt(now.position_ms, now.stamp, now.status == player::Status::Playing, now.rate);
  } else {
    FollowSongRunning(now.status == player::Status::Playing);
  }
  if (!forms::MainOpen() || !following.session) return;
  ShowPlayer(now);
}

void StopFollowing() {
  following = {};  // the player is no longer read
  forms::main::时钟_跟随().SetInterval(0);
  forms::main::选择框_跟随播放().SetChecked(false);
  forms::main::标签_播放器().SetText("");
  forms::main::标签_当前歌曲().SetText("");
  StopPlayback();
}

void EndPlayerReading() {
  following.session.reset();
}

}  // namespace lyrics
