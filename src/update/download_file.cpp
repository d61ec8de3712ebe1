#include "update/download_file.h"

#include "text/gbk.h"
#include "ui/wide.h"
#include "update/signature_check.h"

namespace update {

namespace {

// Where the file name starts: after the last separator, found as a character
// (a GBK trail byte may be 0x5C).
std::size_t NameStart(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); i += text::CharWidth(path, i)) {
    if (path[i] == '\\' || path[i] == '/' || path[i] == ':') start = i + 1;
  }
  return start;
}

}  // namespace

bool FileExists(const std::string& gbkPath) {
  return GetFileAttributesW(ui::Wide(gbkPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FreeNumberedName(const std::string& gbkPath) {
  const std::size_t nameStart = NameStart(gbkPath);
  std::size_t dot = gbkPath.rfind('.');  // '.' is never a trail byte
  if (dot == std::string::npos || dot < nameStart) dot = gbkPath.size();
  for (int n = 1; n <= 99; ++n) {
    std::string candidate = gbkPath.substr(0, dot) + "(" + std::to_string(n) + ")" + gbkPath.substr(dot);
    if (!FileExists(candidate)) return candidate;
  }
  return {};
}

bool DownloadFile::Create(const std::string& gbkTarget, bool replace) {
  Discard();
  target_ = ui::Wide(gbkTarget);
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
