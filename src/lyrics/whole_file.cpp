#include "lyrics/whole_file.h"

#include <algorithm>

#include "ui/scoped.h"

namespace lyrics {

bool WriteAllBytes(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), want, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool SaveWholeFile(const std::wstring& path, std::string_view bytes, WriteBytes write) {
  const std::size_t slash = path.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash);
  // Beside the file, so the rename stays on its volume; the name is new.
  wchar_t temp[MAX_PATH];
  if (!GetTempFileNameW(folder.c_str(), L"lrc", 0, temp)) return false;
  ui::Handle file = ui::OwnFile(
      CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  bool whole = file && write(file.get(), bytes) && FlushFileBuffers(file.get());
  file.reset();
  whole = whole && MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!whole) DeleteFileW(temp);
  return whole;
}

}  // namespace lyrics
