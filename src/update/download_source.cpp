// Reading a download address into its parts.
#include <windows.h>

#include <wininet.h>

#include <algorithm>
#include <cctype>

#include "text/gbk.h"
#include "update/download_connection.h"

namespace update {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// Mode 3 sends the listed kinds of file as bytes and everything else as text.
bool FtpBinary(const DownloadParameters& p, std::string_view path) {
  if (p.ftpTransferMode == kFtpAscii) return false;
  if (p.ftpTransferMode != kFtpByFileType) return true;
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) return false;
  const std::string extension = Lower(std::string(path.substr(dot)));
  for (std::string_view listed : text::Split(p.ftpFileTypes, "|")) {
    if (Lower(std::string(listed)) == extension) return true;
  }
  return false;
}

}  // namespace

bool ReadSource(const DownloadParameters& p, const std::string& address, Source& source) {
  if (address.empty()) return false;
  char host[INTERNET_MAX_HOST_NAME_LENGTH] = {}, user[INTERNET_MAX_USER_NAME_LENGTH] = {},
       password[INTERNET_MAX_PASSWORD_LENGTH] = {};
  std::string path(address.size() + 1, '\0'), extra(address.size() + 1, '\0');
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = sizeof host;
  parts.lpszUserName = user;
  parts.dwUserNameLength = sizeof user;
  parts.lpszPassword = password;
  parts.dwPasswordLength = sizeof password;
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(path.size());
  parts.lpszExtraInfo = extra.data();
  parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
  if (!InternetCrackUrlA(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts)) return false;
  if (parts.dwHostNameLength == 0) return false;
  switch (parts.nScheme) {
    case INTERNET_SCHEME_HTTP:
      source.scheme = Source::Scheme::Http;
      break;
    case INTERNET_SCHEME_HTTPS:
      source.scheme = Source::Scheme::Https;
      break;
    case INTERNET_SCHEME_FTP:
      source.scheme = Source::Scheme::Ftp;
      break;
    default:
      return false;
  }
  source.address = address;
  source.host.assign(host, parts.dwHostNameLength);
  source.port = parts.nPort;
  source.path =
      std::string(path.data(), parts.dwUrlPathLength) + std::string(extra.data(), parts.dwExtraInfoLength);
  if (source.path.empty()) source.path.push_back('/');
  // An address may carry its own FTP login; else the settings', and an empty
  // one logs in anonymously.
  source.user = parts.dwUserNameLength ? std::string(user, parts.dwUserNameLength) : p.ftpUser;
  source.password = parts.dwPasswordLength ? std::string(password, parts.dwPasswordLength) : p.ftpPassword;
  if (source.user.empty()) source.user = DownloadParameters{}.ftpUser;
  if (source.password.empty()) source.password = DownloadParameters{}.ftpPassword;
  source.ftpBinary = FtpBinary(p, std::string_view(path.data(), parts.dwUrlPathLength));
  source.connectTimeoutMs = p.connectTimeoutMs;
  source.sendTimeoutMs = p.sendTimeoutMs;
  source.receiveTimeoutMs = p.receiveTimeoutMs;
  return true;
}

std::string ResolveAddress(const std::string& base, const std::string& location) {
  // Nothing is escaped or unescaped, so the result is never longer than the
  // two together (one call: Wine does not report the size a buffer needs).
  std::string combined(base.size() + location.size() + 1, '\0');
  DWORD size = static_cast<DWORD>(combined.size());
  if (!InternetCombineUrlA(base.c_str(), location.c_str(), combined.data(), &size,
                           ICU_NO_ENCODE | ICU_NO_META))
    return {};
  combined.resize(size);
  return combined;
}

}  // namespace update
