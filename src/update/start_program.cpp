#include "update/start_program.h"

#include <windows.h>

#include "ui/scoped.h"

namespace update {

bool StartProgram(const std::wstring& program) {
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return false;
  }
  const ui::Handle process(started.hProcess), thread(started.hThread);
  WaitForInputIdle(started.hProcess, 1000);
  return true;
}

}  // namespace update
