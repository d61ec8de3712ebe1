// Checking a downloaded update against the key built into the program, with
// the system's own cryptography (CNG): no library of ours can get it wrong.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace update {

// What the announcement page says of the release it offers.
struct Release {
  std::string version;    // "更新版本="
  std::string fileName;   // "程序名字="
  std::string signature;  // "更新签名=": base64 of r then s
};

// The lowercase hex SHA-256 of the file behind `file`, read from its start;
// empty when it cannot be read.
std::string FileSha256(HANDLE file);

// Whether `release` may be installed in place of the program of version `own`:
// its version is newer, and its signature is an ECDSA P-256 signature with
// SHA-256 by `publicKey` (base64 of X then Y) over its version, its file name
// and `sha256`, the hash of the file it names.
bool IsGenuineRelease(std::string_view publicKey, std::string_view own, const Release& release,
                      std::string_view sha256);

}  // namespace update
