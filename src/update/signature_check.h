// Checking a downloaded update against the key built into the program, with
// the system's own cryptography (CNG): no library of ours can get it wrong.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "update/announcement.h"

namespace update {

// Base64 of the ECDSA P-256 public key (X then Y, big-endian) that signs this
// program's updates, built in at compile time (update_key.cpp). Empty: the
// program takes any update the announcement page names, unsigned.
extern const std::string_view kUpdatePublicKey;

// Whether the program takes signed updates only: a key is built in.
inline bool SignedUpdatesOnly() {
  return !kUpdatePublicKey.empty();
}

// The lowercase hex SHA-256 of the file behind `file`, read from its start;
// empty when it cannot be read.
std::string FileSha256(HANDLE file);

// Whether the release the announcement page offers may be installed in place
// of the program of version `own`: its version is newer, and its signature
// (base64 of r then s) is an ECDSA P-256 signature with SHA-256 by `publicKey`
// (base64 of X then Y) over its version, its file name and `sha256`, the hash
// of the file it names.
bool IsGenuineRelease(std::string_view publicKey, std::string_view own, const UpdateSource& release,
                      std::string_view sha256);

}  // namespace update
