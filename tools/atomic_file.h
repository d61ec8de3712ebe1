// Replacing a file whole, for the stand-ins of tools/ and for the tests that
// script them through files: a reader sees the old file or the new one, never
// half of either.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace stand_in {

// Writes `content` to a file beside `path` and moves it over `path`. Wine
// refuses to replace a file while a reader holds it open: the move is tried
// `tries` times, `pause_ms` apart. False when the file keeps its old content.
inline bool WriteFileAtomically(const std::wstring& path, std::string_view content, int tries = 1,
                                DWORD pause_ms = 0) {
  const std::wstring temp = path + L".tmp";
  HANDLE file =
      CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool wrote = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  for (int tried = 1; wrote; ++tried) {
    if (MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    if (tried >= tries) break;
    Sleep(pause_ms);
  }
  DeleteFileW(temp.c_str());
  return false;
}

}  // namespace stand_in
