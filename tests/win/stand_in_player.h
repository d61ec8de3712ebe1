// Runs tools/player's player.exe, the stand-in for a Winamp-compatible music
// player, for a test: starts it with a fresh script, adds commands and waits
// until the player has carried them out, and ends it by its process handle.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace wintest {

class StandInPlayer {
 public:
  // Waits up to 20 s for the player's window; check started().
  StandInPlayer();
  ~StandInPlayer();
  StandInPlayer(const StandInPlayer&) = delete;
  StandInPlayer& operator=(const StandInPlayer&) = delete;

  bool started() const { return window_ != nullptr; }
  HWND window() const { return window_; }

  // Adds a command of the player's script (see tools/player/player.cpp) and
  // waits up to 10 s until the player has carried it out (a hang: begun),
  // dispatching this thread's messages meanwhile.
  bool Do(std::wstring_view command);

  // Waits up to `timeout_ms` for the player to end (after "close").
  bool WaitForExit(DWORD timeout_ms) const;

 private:
  PROCESS_INFORMATION process_{};
  std::wstring script_;
  HWND window_ = nullptr;
  long commands_ = 0;
};

}  // namespace wintest
