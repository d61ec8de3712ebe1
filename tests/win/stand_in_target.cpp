#include "win/stand_in_target.h"

#include <cstdio>
#include <sstream>

#include "caption/delivery.h"
#include "finder/target_handle.h"
#include "win/stand_in_files.h"
#include "win/stand_in_process.h"

namespace wintest {

namespace {

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

StandInTarget::StandInTarget(bool oddWindows) : log_path_(FreshTempPath(L"target") + L".log") {
  // A pointer that an earlier test on this display left where the field opens
  // would add real mouse moves to the log.
  SetCursorPos(0, 0);
  // The handle file appears once the field exists.
  const std::string text =
      StartStandIn(LYRIMARK_TARGET_EXE, L"\"" + log_path_ + L"\"" + (oddWindows ? L" --odd-windows" : L""),
                   log_path_ + L".hwnd", process_);
  if (text.empty()) return;
  handle_text_ = text.substr(0, text.find('\n'));
  field_ = finder::ReadTargetHandle(handle_text_);
  if (oddWindows) {
    const std::string odd = ReadWholeFile(log_path_ + L".odd");  // written before the handle file
    const std::size_t space = odd.find(' ');
    absurd_title_ = finder::ReadTargetHandle(odd.substr(0, space));
    if (space != std::string::npos) hung_ = finder::ReadTargetHandle(odd.substr(space + 1));
  }
}

StandInTarget::~StandInTarget() {
  EndStandIn(process_);
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
