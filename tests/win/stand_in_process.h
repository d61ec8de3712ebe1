// Starting a stand-in of tools/ for a test, and ending it by its process
// handle, whatever happens in between.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "win/stand_in_files.h"

namespace wintest {

// Starts the stand-in `exe` (its path as CMake gives it) with `arguments` and
// waits up to 20 s for it to write `ready`, which it does once its window is
// up. The file's content; empty when the stand-in did not start or come up.
inline std::string StartStandIn(std::string_view exe, const std::wstring& arguments,
                                const std::wstring& ready, PROCESS_INFORMATION& process) {
  const std::string_view name = exe.substr(exe.find_last_of('/') + 1);
  const std::wstring path = BuiltFilePath(exe);
  std::wstring command = L"\"" + path + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "cannot start %.*s (error %lu)\n", static_cast<int>(name.size()), name.data(),
                 GetLastError());
    return {};
  }
  for (int waited = 0; waited < 20000; waited += 20) {
    std::string content = ReadWholeFile(ready);
    if (!content.empty()) return content;
    if (WaitForSingleObject(process.hProcess, 20) != WAIT_TIMEOUT) break;
  }
  std::fprintf(stderr, "%.*s did not come up\n", static_cast<int>(name.size()), name.data());
  return {};
}

// Ends a stand-in that StartStandIn started, if it did.
inline void EndStandIn(PROCESS_INFORMATION& process) {
  if (!process.hProcess) return;
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace wintest
