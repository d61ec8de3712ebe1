#include "win/stand_in_player.h"

#include <cstdlib>

#include "win/stand_in_files.h"
#include "win/stand_in_process.h"
#include "win/window_test_support.h"

namespace wintest {

StandInPlayer::StandInPlayer() : script_(FreshTempPath(L"player")) {
  if (!WriteFileAtomically(script_, "")) return;
  const std::string handle =
      StartStandIn(LYRIMARK_PLAYER_EXE, L"\"" + script_ + L"\"", script_ + L".hwnd", process_);
  window_ = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(handle.c_str(), nullptr, 10)));
}

StandInPlayer::~StandInPlayer() {
  EndStandIn(process_);
  for (const wchar_t* suffix : {L"", L".tmp", L".hwnd", L".hwnd.tmp", L".done", L".done.tmp"}) {
    DeleteFileW((script_ + suffix).c_str());
  }
}

bool StandInPlayer::Do(std::wstring_view command) {
  const std::string script = ReadWholeFile(script_) + Utf8(command) + "\n";
  if (!WriteFileAtomically(script_, script)) return false;
  ++commands_;
  // The windows of this thread keep working meanwhile (a program that follows the player).
  return test::PumpUntil([&] { return std::atol(ReadWholeFile(script_ + L".done").c_str()) >= commands_; },
                         10000);
}

bool StandInPlayer::WaitForExit(DWORD timeout_ms) const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, timeout_ms) == WAIT_OBJECT_0;
}

}  // namespace wintest
