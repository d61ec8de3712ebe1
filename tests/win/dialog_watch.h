// Answers this process's dialogs (#32770: message boxes, the folder dialog)
// from another thread, as a person would, and records what each showed. A test
// that may raise a dialog keeps one alive, so nothing waits for a click forever.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ui/win32.h"
#include "win/window_test_support.h"

namespace wintest {

struct SeenDialog {
  std::string title;
  std::string text;  // the texts of its static controls, one after another
};

class DialogWatch {
 public:
  // `answer` runs on the watching thread once per dialog; by default it presses OK.
  explicit DialogWatch(std::function<void(HWND)> answer = PressButton(IDOK))
      : answer_(std::move(answer)), thread_([this] { Run(); }) {}
  ~DialogWatch() {
    stop_ = true;
    thread_.join();
  }
  DialogWatch(const DialogWatch&) = delete;
  DialogWatch& operator=(const DialogWatch&) = delete;

  static std::function<void(HWND)> PressButton(int id) {
    return [id](HWND dialog) { PostMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0); };
  }

  std::vector<SeenDialog> Seen() {
    std::lock_guard lock(mutex_);
    return seen_;
  }

 private:
  void Run() {
    while (!stop_) {
      EnumWindows(Visit, reinterpret_cast<LPARAM>(this));
      Sleep(20);
    }
  }
  static BOOL CALLBACK Visit(HWND window, LPARAM self) {
    reinterpret_cast<DialogWatch*>(self)->Look(window);
    return TRUE;
  }
  void Look(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) || test::ClassName(window) != "#32770")
      return;
    if (!answered_.insert(window).second) return;
    SeenDialog seen{ui::WindowText(window), {}};
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (test::ClassName(c) == "Static") seen.text += ui::WindowText(c);
    }
    {
      std::lock_guard lock(mutex_);
      seen_.push_back(seen);
    }
    answer_(window);
  }

  std::function<void(HWND)> answer_;
  std::atomic<bool> stop_ = false;
  std::mutex mutex_;
  std::vector<SeenDialog> seen_;
  std::set<HWND> answered_;
  std::thread thread_;
};

}  // namespace wintest
