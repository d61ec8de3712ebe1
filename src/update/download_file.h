// The local file of a download. The bytes go into a temporary file beside the
// target, which takes the target's name only once the whole file is there: a
// download that fails or stops never leaves a partial file under the name
// something will start.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/scoped.h"

namespace update {

bool FileExists(const std::wstring& path);

// The first free name of "name(1).ext" ... "name(99).ext" beside `path`;
// empty when all 99 are taken.
std::wstring FreeNumberedName(const std::wstring& path);

class DownloadFile {
 public:
  DownloadFile() = default;
  DownloadFile(const DownloadFile&) = delete;
  DownloadFile& operator=(const DownloadFile&) = delete;
  ~DownloadFile() { Discard(); }

  // Starts an empty temporary file for `target`; `replace`: the target may
  // already exist and is then replaced at Commit.
  bool Create(const std::wstring& target, bool replace);
  // Writes at a position of the file; several threads may write at once.
  bool WriteAt(std::int64_t offset, const char* data, int size);
  // The lowercase hex SHA-256 of what the file holds; empty when it cannot be
  // read. Once every write is done.
  std::string Sha256();
  // Gives the temporary file the target's name; false (and no file) when that fails.
  bool Commit();
  void Discard();

 private:
  std::wstring target_, temporary_;
  bool replace_ = false;
  ui::Handle file_;
};

}  // namespace update
