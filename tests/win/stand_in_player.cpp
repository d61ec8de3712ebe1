#include "win/stand_in_player.h"

#include <cstdio>
#include <cstdlib>

#include "win/stand_in_files.h"
#include "win/window_test_support.h"

namespace wintest {

StandInPlayer::StandInPlayer() : script_(FreshTempPath(L"player")) {
  if (!WriteFileAtomically(script_, "")) return;
  const std::wstring exe = BuiltFilePath(LYRIMARK_PLAYER_EXE);
  std::wstring command = L"\"" + exe + L"\" \"" + script_ + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process_)) {
    std::fprintf(stderr, "cannot start player.exe (error %lu)\n", GetLastError());
    return;
  }
  for (int waited = 0; waited < 20000; waited += 20) {
    const std::string handle = ReadWholeFile(script_ + L".hwnd");
    if (!handle.empty()) {
      window_ = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(handle.c_str(), nullptr, 10)));
      return;
    }
    if (WaitForSingleObject(process_.hProcess, 20) != WAIT_TIMEOUT) break;
  }
  std::fprintf(stderr, "player.exe did not come up\n");
}

StandInPlayer::~StandInPlayer() {
  if (process_.hProcess) {
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
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
