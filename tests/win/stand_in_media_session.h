// The stand-in system media session (tools/media_session) registered in this
// tree's Wine prefix for the object's life: activating the session manager
// then loads it, and its current session plays what Write() last gave (no
// session before, or after End()). Other tests see no media session: the
// registration and its state file go with the object, and one that a crashed
// test left behind is removed first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace wintest {

class StandInMediaSession {
 public:
  StandInMediaSession();
  ~StandInMediaSession();
  StandInMediaSession(const StandInMediaSession&) = delete;
  StandInMediaSession& operator=(const StandInMediaSession&) = delete;

  bool registered() const { return registered_; }

  // Replaces the session's state: key=value lines of the stand-in's state file.
  bool Write(std::wstring_view state);
  // The current session ends.
  void End();

  // Removes the registration, whoever made it.
  static void Unregister();

  // The system time as the stand-in's "updated" takes it: 100-ns ticks since 1601.
  static std::int64_t FileTimeNow();

 private:
  std::wstring state_path_;
  bool registered_ = false;
};

}  // namespace wintest
