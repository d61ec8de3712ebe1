// Reading an internet address into its parts, with the system's URL cracker.
#pragma once

#include <windows.h>

#include <wininet.h>

#include <optional>
#include <string>
#include <string_view>

namespace net {

struct Address {
  INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
  std::string host, user, password;
  INTERNET_PORT port = 0;
  std::string path;   // with the query: what a request names; "/" when the address has neither
  std::string query;  // the query (or fragment) alone, as it ends `path`
};

// The parts of `address`, nothing escaped or unescaped; nothing when it has none.
std::optional<Address> CrackAddress(std::string_view address);

}  // namespace net
