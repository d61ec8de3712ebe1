// Runs tools/target's target.exe for a test or a benchmark: starts it with a
// fresh log, reads back what its nickname field got, and ends it by its process
// handle, whatever happens in between.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "win/expected_delivery.h"

namespace wintest {

struct LoggedMessage {
  InputMessage input;
  double received_ms;  // when the target took it from its queue
  long posted_ms;      // the message's own time stamp: when it was posted
};

class StandInTarget {
 public:
  // Waits up to 20 s for the window; check started(). With `oddWindows` the
  // target also makes its two windows that answer a finder badly.
  explicit StandInTarget(bool oddWindows = false);
  ~StandInTarget();
  StandInTarget(const StandInTarget&) = delete;
  StandInTarget& operator=(const StandInTarget&) = delete;

  bool started() const { return field_ != nullptr; }
  HWND field() const { return field_; }
  // The handle as the target printed it, for the handle edit box.
  const std::string& handle_text() const { return handle_text_; }
  // With oddWindows: a window that claims a title of 0x7FFFFFFF characters, and
  // one whose thread takes no more messages.
  HWND absurd_title() const { return absurd_title_; }
  HWND hung() const { return hung_; }

  // The input messages the field has taken so far, after waiting up to
  // `timeout_ms` for there to be at least `count`.
  std::vector<LoggedMessage> WaitForInputMessages(std::size_t count, DWORD timeout_ms = 10000) const;

  // The field's text in GBK as the target reports it in its text file, after
  // waiting up to `timeout_ms` for it to read `expected`.
  std::string WaitForReportedText(std::string_view expected, DWORD timeout_ms = 10000) const;

 private:
  PROCESS_INFORMATION process_{};
  std::wstring log_path_;
  HWND field_ = nullptr;
  std::string handle_text_;
  HWND absurd_title_ = nullptr, hung_ = nullptr;
};

}  // namespace wintest
