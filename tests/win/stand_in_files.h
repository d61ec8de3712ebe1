// Files through which the tests script the stand-ins of tools/ and hear back
// from them.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "../../tools/atomic_file.h"

namespace wintest {

// A path CMake gives (UTF-8): a Unix path (a build under Wine) is reached
// through Wine's drive Z:, which maps the Unix root.
inline std::wstring BuiltFilePath(std::string_view path) {
  std::wstring wide(path.size(), L'\0');
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
      CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), static_cast<int>(wide.size()))));
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return path.starts_with('/') ? L"Z:" + wide : wide;
}

// A fresh path in the temporary folder.
inline std::wstring FreshTempPath(std::wstring_view name) {
  static int counter = 0;
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + L"lyrimark-" + std::wstring(name) + L"-" +
         std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
}

// The whole file, or nothing while it does not exist.
inline std::string ReadWholeFile(const std::wstring& path) {
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

inline std::string Utf8(std::wstring_view wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr,
                      nullptr);
  return utf8;
}

// Writes `content` to `path` whole, trying for up to a second while a stand-in
// holds the file open.
inline bool WriteFileAtomically(const std::wstring& path, std::string_view content) {
  return stand_in::WriteFileAtomically(path, content, 100, 10);
}

}  // namespace wintest
