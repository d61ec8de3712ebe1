#include "ui/win32.h"

#include <algorithm>

#include "ui/wide.h"

namespace ui {

namespace {

// Reads a path of unknown length: `read(size, buffer)` returns the length, or
// the size it needs when the buffer is too small.
template <class Read>
std::wstring ReadPath(Read read) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = read(static_cast<DWORD>(path.size()), path.data());
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(std::max<std::size_t>(n, path.size() * 2));
  }
}

}  // namespace

std::string WindowText(HWND hwnd) {
  return Narrow(WideWindowText(hwnd));
}

std::wstring WideWindowText(HWND hwnd) {
  std::wstring s(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  s.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, s.data(), static_cast<int>(s.size()))));
  return s;
}

std::wstring CurrentDirectory() {
  return ReadPath([](DWORD size, wchar_t* buffer) { return GetCurrentDirectoryW(size, buffer); });
}

std::wstring ModulePath() {
  // A full buffer means a cut name: GetModuleFileName answers with the size given.
  return ReadPath([](DWORD size, wchar_t* buffer) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer, size);
    return n == size ? size * 2 : n;
  });
}

std::wstring ModuleDirectory() {
  std::wstring path = ModulePath();
  const std::size_t slash = path.find_last_of(L"\\/");
  path.resize(slash == std::wstring::npos ? 0 : slash);
  return path;
}

const wchar_t* RegisterWindowClass(const wchar_t* name, WNDPROC proc, HICON icon) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = icon;
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
  return name;
}

}  // namespace ui
