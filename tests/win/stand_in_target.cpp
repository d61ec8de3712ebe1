#include "win/stand_in_target.h"

#include <cstdio>
#include <sstream>

#include "caption/delivery.h"
#include "finder/target_handle.h"

namespace wintest {

namespace {

// CMake gives the built target.exe's path. A Unix path (a build under Wine) is
// reached through Wine's drive Z:, which maps the Unix root.
std::wstring TargetExePath() {
  std::string path = LYRIMARK_TARGET_EXE;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  std::wstring wide(path.size(), L'\0');
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
      CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

std::wstring FreshLogPath() {
  static int counter = 0;
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + L"lyrimark-target-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter) + L".log";
}

// The whole file, or nothing while it does not exist; the target may be writing it.
std::string ReadWholeFile(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string content;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  CloseHandle(file);
  return content;
}

std::vector<LoggedMessage> ParseInputMessages(const std::string& log) {
  std::vector<LoggedMessage> out;
  std::istringstream lines(log);
  std::string line;
  while (std::getline(lines, line)) {
    unsigned message = 0;
    unsigned long long wparam = 0, lparam = 0;
    double received = 0;
    long posted = 0;
    // A last line still being written does not parse yet; it counts next time.
    if (std::sscanf(line.c_str(), "%x %llx %llx %lf %ld", &message, &wparam, &lparam, &received, &posted) !=
        5)
      break;
    if (!IsInputMessage(message)) continue;
    out.push_back({{message, static_cast<WPARAM>(wparam), static_cast<LPARAM>(lparam)}, received, posted});
  }
  return out;
}

}  // namespace

StandInTarget::StandInTarget(bool oddWindows) : log_path_(FreshLogPath()) {
  // A pointer that an earlier test on this display left where the field opens
  // would add real mouse moves to the log.
  SetCursorPos(0, 0);
  const std::wstring exe = TargetExePath();
  std::wstring command = L"\"" + exe + L"\" \"" + log_path_ + L"\"" + (oddWindows ? L" --odd-windows" : L"");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process_)) {
    std::fprintf(stderr, "cannot start target.exe (error %lu)\n", GetLastError());
    return;
  }
  // The handle file appears once the field exists.
  for (int waited = 0; waited < 20000; waited += 20) {
    const std::string text = ReadWholeFile(log_path_ + L".hwnd");
    if (!text.empty()) {
      handle_text_ = text.substr(0, text.find('\n'));
      field_ = finder::ReadTargetHandle(handle_text_);
      if (oddWindows) {
        const std::string odd = ReadWholeFile(log_path_ + L".odd");  // written before the handle file
        const std::size_t space = odd.find(' ');
        absurd_title_ = finder::ReadTargetHandle(odd.substr(0, space));
        if (space != std::string::npos)
          hung_ = finder::ReadTargetHandle(odd.substr(space + 1));
      }
      return;
    }
    if (WaitForSingleObject(process_.hProcess, 20) != WAIT_TIMEOUT) break;
  }
  std::fprintf(stderr, "target.exe did not come up\n");
}

StandInTarget::~StandInTarget() {
  if (process_.hProcess) {
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  for (const wchar_t* suffix : {L"", L".hwnd", L".hwnd.tmp", L".text", L".text.tmp", L".odd", L".odd.tmp"}) {
    DeleteFileW((log_path_ + suffix).c_str());
  }
}

std::vector<LoggedMessage> StandInTarget::WaitForInputMessages(std::size_t count, DWORD timeout_ms) const {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    std::vector<LoggedMessage> got = ParseInputMessages(ReadWholeFile(log_path_));
    if (got.size() >= count || GetTickCount64() >= deadline) return got;
    Sleep(20);
  }
}

std::string StandInTarget::WaitForReportedText(std::string_view expected, DWORD timeout_ms) const {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    std::string text = ReadWholeFile(log_path_ + L".text");
    if (text == expected || GetTickCount64() >= deadline) return text;
    Sleep(20);
  }
}

}  // namespace wintest
