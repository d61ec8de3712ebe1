// Helpers for tests that open the program's windows in-process.
#pragma once

#include <windows.h>

#include <string>

#include "ui/wide.h"

namespace test {

// Dispatches this thread's messages until `done()` holds or `timeoutMs` passed.
template <class Done>
bool PumpUntil(Done done, int timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (static_cast<int>(GetTickCount() - start) > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

inline void Pump(int ms) {
  PumpUntil([] { return false; }, ms);
}

// Real input: xdotool on the X display Wine draws on, e.g. L"key ctrl+alt+x".
// Wine starts the Linux program itself but cannot wait for it: the callers
// wait for its effect. False when it could not be started.
inline bool Xdotool(const std::wstring& arguments) {
  std::wstring command = L"/usr/bin/xdotool " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(L"Z:\\usr\\bin\\xdotool", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    return false;
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return true;
}

inline std::string ClassName(HWND hwnd) {
  wchar_t name[128] = {};
  GetClassNameW(hwnd, name, 128);
  return ui::Narrow(name);
}

// A child's outer rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace test
