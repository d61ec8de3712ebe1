// Reading a download address into its parts.
#include <algorithm>

#include "text/gbk.h"
#include "update/download_connection.h"

namespace update {

namespace {

// Mode 3 sends the listed kinds of file as bytes and everything else as text.
bool FtpBinary(const DownloadParameters& p, std::string_view path) {
  if (p.ftpTransferMode == kFtpAscii) return false;
  if (p.ftpTransferMode != kFtpByFileType) return true;
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) return false;
  for (std::string_view listed : text::Split(p.ftpFileTypes, "|")) {
    if (text::EqualsIgnoringAsciiCase(listed, path.substr(dot))) return true;
  }
  return false;
}

// A control byte in an address could end a request line or an FTP command
// and start another of the server's choosing.
bool HasControlByte(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
  });
}

// Where a redirect from `base` to `location` (whole, or relative to `base`)
// leads; empty when the two make no address.
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

}  // namespace

bool ReadSource(const DownloadParameters& p, const std::string& address, Source& source) {
  if (HasControlByte(address)) return false;
  const std::optional<net::Address> parts = net::CrackAddress(address);
  if (!parts || parts->host.empty()) return false;
  if (parts->scheme != INTERNET_SCHEME_HTTP && parts->scheme != INTERNET_SCHEME_HTTPS &&
      parts->scheme != INTERNET_SCHEME_FTP)
    return false;
  static_cast<net::Address&>(source) = *parts;
  source.address = address;
  // An address may carry its own FTP login; else the settings', and an empty
  // one logs in anonymously.
  if (source.user.empty()) source.user = p.ftpUser;
  if (source.password.empty()) source.password = p.ftpPassword;
  if (source.user.empty()) source.user = DownloadParameters{}.ftpUser;
  if (source.password.empty()) source.password = DownloadParameters{}.ftpPassword;
  source.ftpBinary =
      FtpBinary(p, std::string_view(source.path).substr(0, source.path.size() - source.query.size()));
  source.connectTimeoutMs = p.connectTimeoutMs;
  source.sendTimeoutMs = p.sendTimeoutMs;
  source.receiveTimeoutMs = p.receiveTimeoutMs;
  return true;
}

bool ReadRedirect(const DownloadParameters& p, const Source& from, const std::string& location, Source& to) {
  Source next;
  if (HasControlByte(location) || !ReadSource(p, ResolveAddress(from.address, location), next)) return false;
  // What was asked for over TLS must not come over a line anyone may read or change.
  if (from.scheme == INTERNET_SCHEME_HTTPS && next.scheme != INTERNET_SCHEME_HTTPS) return false;
  to = std::move(next);
  return true;
}

}  // namespace update
