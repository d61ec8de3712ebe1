// Saving a downloaded lyrics file so that it is either whole or not there.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace lyrics {

// Writes all of `bytes` to an open file; false when not every byte went.
using WriteBytes = bool (*)(HANDLE file, std::string_view bytes);
bool WriteAllBytes(HANDLE file, std::string_view bytes);

// Makes `bytes` the whole content of the file at `path`: they go to a
// temporary file beside it, which takes the file's place only once every byte
// is written. On any failure (a full disk, a name that cannot be written) the
// old file stays as it was, or there is none, and no temporary file remains.
// `write` writes the bytes; a test gives one that fails as a full disk does.
bool SaveWholeFile(const std::wstring& path, std::string_view bytes, WriteBytes write = WriteAllBytes);

}  // namespace lyrics
