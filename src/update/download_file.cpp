#include "update/download_file.h"

#include "update/signature_check.h"

namespace update {

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring FreeNumberedName(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/:");
  const std::size_t nameStart = separator == std::wstring::npos ? 0 : separator + 1;
  std::size_t dot = path.rfind(L'.');
  if (dot == std::wstring::npos || dot < nameStart) dot = path.size();
  for (int n = 1; n <= 99; ++n) {
    std::wstring candidate = path.substr(0, dot) + L"(" + std::to_wstring(n) + L")" + path.substr(dot);
    if (!FileExists(candidate)) return candidate;
  }
  return {};
}

bool DownloadFile::Create(const std::wstring& target, bool replace) {
  Discard();
  target_ = target;
  temporary_ = target_ + L".part";
  replace_ = replace;
  file_ = ui::OwnFile(CreateFileW(temporary_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  return file_ != nullptr;
}

bool DownloadFile::WriteAt(std::int64_t offset, const char* data, int size) {
  while (size > 0) {
    // A synchronous handle with an offset in the OVERLAPPED writes there
    // without moving a shared file pointer, so connections need no lock.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    if (!WriteFile(file_.get(), data, static_cast<DWORD>(size), &written, &at) || written == 0) return false;
    offset += written;
    data += written;
    size -= static_cast<int>(written);
  }
  return true;
}

std::string DownloadFile::Sha256() {
  return file_ ? FileSha256(file_.get()) : std::string();
}

bool DownloadFile::Commit() {
  if (!file_) return false;
  file_.reset();
  if (MoveFileExW(temporary_.c_str(), target_.c_str(), replace_ ? MOVEFILE_REPLACE_EXISTING : 0)) {
    temporary_.clear();
    return true;
  }
  Discard();
  return false;
}

void DownloadFile::Discard() {
  file_.reset();
  if (!temporary_.empty()) DeleteFileW(temporary_.c_str());
  temporary_.clear();
}

}  // namespace update
