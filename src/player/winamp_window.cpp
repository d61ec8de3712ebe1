#include "player/winamp_window.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "player/player_caption.h"
#include "ui/wide.h"

namespace player {

namespace {

constexpr LPARAM kIsPlaying = 104;      // 1 playing, 3 paused, 0 stopped
constexpr LPARAM kGetOutputTime = 105;  // wParam 0: position in ms, 1: length in s; -1 when not known
constexpr UINT kQueryTimeoutMs = 100;
constexpr int kLongestCaption = 1024;

// One query; false when the player did not answer in time or is hung.
bool Ask(HWND window, WPARAM which, LPARAM what, std::int32_t& answer) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_USER, which, what, SMTO_ABORTIFHUNG, kQueryTimeoutMs, &result))
    return false;
  answer = static_cast<std::int32_t>(result);  // the player answers in an int
  return true;
}

// The caption as the system keeps it: reading it sends the player no message.
std::wstring Caption(HWND window) {
  std::wstring caption(kLongestCaption, L'\0');
  caption.resize(
      static_cast<std::size_t>(std::max(0, InternalGetWindowText(window, caption.data(), kLongestCaption))));
  return caption;
}

}  // namespace

std::optional<NowPlaying> ReadWinampWindow() {
  const HWND window = FindWindowW(L"Winamp v1.x", nullptr);
  if (!window) return std::nullopt;
  std::int32_t state = 0, position = -1, length = -1;
  if (!Ask(window, 0, kIsPlaying, state)) return std::nullopt;
  const Clock::time_point asked = Clock::now();
  if (!Ask(window, 0, kGetOutputTime, position)) return std::nullopt;
  const Clock::time_point answered = Clock::now();
  if (!Ask(window, 1, kGetOutputTime, length)) return std::nullopt;

  NowPlaying now;
  now.source = Source::WinampWindow;
  now.status = state == 1 ? Status::Playing : state == 3 ? Status::Paused : Status::Stopped;
  now.position_known = now.status != Status::Stopped && position >= 0;
  now.position_ms = now.position_known ? position : 0;
  now.stamp = asked + (answered - asked) / 2;
  now.length_ms = length > 0 ? std::int64_t{length} * 1000 : -1;
  CaptionSong song = SongFromCaption(ui::Narrow(Caption(window)));
  now.title = std::move(song.title);
  now.artist = std::move(song.artist);
  return now;
}

}  // namespace player
