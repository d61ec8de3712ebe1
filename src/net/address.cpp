#include "net/address.h"

namespace net {

std::optional<Address> CrackAddress(std::string_view address) {
  if (address.empty()) return std::nullopt;
  const std::string in(address);
  std::string host(INTERNET_MAX_HOST_NAME_LENGTH, '\0'), user(INTERNET_MAX_USER_NAME_LENGTH, '\0'),
      password(INTERNET_MAX_PASSWORD_LENGTH, '\0'), path(in.size() + 1, '\0'), extra(in.size() + 1, '\0');
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  const auto lend = [](std::string& buffer, LPSTR& at, DWORD& length) {
    at = buffer.data();
    length = static_cast<DWORD>(buffer.size());
  };
  lend(host, parts.lpszHostName, parts.dwHostNameLength);
  lend(user, parts.lpszUserName, parts.dwUserNameLength);
  lend(password, parts.lpszPassword, parts.dwPasswordLength);
  lend(path, parts.lpszUrlPath, parts.dwUrlPathLength);
  lend(extra, parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (!InternetCrackUrlA(in.c_str(), static_cast<DWORD>(in.size()), 0, &parts)) return std::nullopt;
  Address out{.scheme = parts.nScheme,
              .host = host.substr(0, parts.dwHostNameLength),
              .user = user.substr(0, parts.dwUserNameLength),
              .password = password.substr(0, parts.dwPasswordLength),
              .port = parts.nPort,
              .path = path.substr(0, parts.dwUrlPathLength) + extra.substr(0, parts.dwExtraInfoLength),
              .query = extra.substr(0, parts.dwExtraInfoLength)};
  if (out.path.empty()) out.path.push_back('/');
  return out;
}

}  // namespace net
