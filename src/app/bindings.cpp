// Which handler each event runs. Events not listed have none.
#include "app/startup.h"
#include "caption/caption_modes.h"
#include "finder/finder.h"
#include "finder/finder_icon.h"
#include "lyrics/follow.h"
#include "lyrics/library.h"
#include "lyrics/online_search.h"
#include "lyrics/playback.h"
#include "update/update_window.h"

namespace app {

namespace {

using ui::Event;

constexpr ui::Binding kBindings[] = {
    {"main", "", Event::Created, OnMainWindowCreated},
    {"main", "", Event::Activated, OnMainWindowActivated},
    {"main", "画板_捕获器", Event::LeftButtonDown, finder::BeginCaptureDrag},
    {"main", "超级按钮4", Event::Clicked, lyrics::TogglePlayback},
    {"main", "文件框1", Event::CurrentFileChanged, lyrics::LoadLyricsFile},
    {"main", "文件框1", Event::DoubleClicked, lyrics::LoadLyricsFile},
    {"main", "超级列表框_歌词", Event::DoubleClicked, lyrics::JumpToLine},
    {"main", "时钟_歌词播放", Event::Tick, lyrics::LyricsTick},
    {"main", "选择框_跟随播放", Event::Clicked, lyrics::ToggleFollowing},
    {"main", "选择框_跟随播放", Event::HotKey, lyrics::ToggleFollowingByKey},
    {"main", "时钟_跟随", Event::Tick, lyrics::FollowTick},
    {"main", "按钮_提前", Event::Clicked, lyrics::LyricsEarlier},
    {"main", "按钮_提前", Event::HotKey, lyrics::LyricsEarlier},
    {"main", "按钮_推后", Event::Clicked, lyrics::LyricsLater},
    {"main", "按钮_推后", Event::HotKey, lyrics::LyricsLater},
    {"main", "按钮2", Event::Clicked, lyrics::ChooseLyricsFolder},
    {"main", "搜索歌词", Event::Clicked, lyrics::SearchLyrics},
    {"main", "欲下载列表", Event::CurrentRowChanged, lyrics::PreviewResult},
    {"main", "欲下载列表", Event::DoubleClicked, lyrics::DownloadResult},
    {"main", "按钮1", Event::Clicked, caption::ToggleScroller},
    {"main", "按钮5", Event::Clicked, caption::ToggleAdvertBoard},
    {"main", "按钮3", Event::Clicked, caption::AddAdvertLine},
    {"main", "按钮4", Event::Clicked, caption::DeleteAdvertLine},
    {"main", "按钮15", Event::Clicked, OpenHomePage},
    {"drag-icon", "", Event::Created, OnDragWindowCreated},
    {"drag-icon", "时钟1", Event::Tick, finder::FollowCursorTick},
    {"drag-icon", "时钟2", Event::Tick, finder::FinderTick},
    {"update", "", Event::Created, update::StartUpdate},
    {"update", "按钮1", Event::Clicked, update::BeginDownload},
    {"update", "时钟", Event::Tick, update::ProgressTick},
};

}  // namespace

std::span<const ui::Binding> Bindings() {
  return kBindings;
}

}  // namespace app
