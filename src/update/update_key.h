// The key that signs this program's updates, built in at compile time.
#pragma once

#include <string_view>

namespace update {

// Base64 of an ECDSA P-256 public key (X then Y, big-endian). Empty: the
// program takes any update the announcement page names, unsigned.
extern const std::string_view kUpdatePublicKey;

}  // namespace update
