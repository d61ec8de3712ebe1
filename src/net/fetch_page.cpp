#include "net/fetch_page.h"

#include <algorithm>

#include "net/address.h"
#include "net/internet_handle.h"
#include "net/read_chunk.h"

namespace net {

namespace {

// One internet handle for the process, opened on first use and left open. It
// connects directly: the program configures no proxy, and the preconfigured
// type would pick up proxy settings from the environment.
HINTERNET Session() {
  static const HINTERNET session = InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  return session;
}

DWORD ChunkSize(HINTERNET request) {
  char value[64] = {};
  DWORD size = sizeof value - 1;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, value, &size, nullptr)) size = 0;
  return ReadChunkSize(std::string_view(value, size));
}

}  // namespace

std::string FetchPage(std::string_view address) {
  // Canonicalise without escaping unsafe characters: the address goes out as given.
  std::string canonical(address.size() * 3 + 64, '\0');
  auto size = static_cast<DWORD>(canonical.size());
  if (!InternetCanonicalizeUrlA(std::string(address).c_str(), canonical.data(), &size, ICU_NO_ENCODE))
    return {};
  canonical.resize(size);
  const std::optional<Address> a = CrackAddress(canonical);
  if (!a || (a->scheme != INTERNET_SCHEME_HTTP && a->scheme != INTERNET_SCHEME_HTTPS)) return {};
  if (!Session()) return {};
  const bool secure = a->scheme == INTERNET_SCHEME_HTTPS;

  InternetHandle connection(InternetConnectA(Session(), a->host.c_str(), a->port, a->user.c_str(),
                                             a->password.c_str(), INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return {};
  const char* acceptTypes[] = {"*/*", nullptr};
  const DWORD flags =
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | (secure ? INTERNET_FLAG_SECURE : 0);
  InternetHandle request(
      HttpOpenRequestA(connection.get(), "GET", a->path.c_str(), "HTTP/1.0", nullptr, acceptTypes, flags, 0));
  if (!request) return {};
  static constexpr char kHeaders[] = "Accept: */*\r\n\r\n";
  if (!HttpSendRequestA(request.get(), kHeaders, sizeof kHeaders - 1, nullptr, 0)) return {};

  const DWORD chunk = ChunkSize(request.get());
  std::string body;
  while (body.size() < kPageLimit) {
    const std::size_t at = body.size();
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(chunk, kPageLimit - at));
    body.resize(at + want);
    DWORD got = 0;
    const BOOL ok = InternetReadFile(request.get(), body.data() + at, want, &got);
    body.resize(at + (ok ? got : 0));
    if (!ok || got == 0) break;
  }
  return body;
}

}  // namespace net
