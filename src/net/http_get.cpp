#include "net/http_get.h"

#include <algorithm>

#include "net/address.h"
#include "net/internet_handle.h"

namespace net {

namespace {

constexpr DWORD kWaitMs = 10'000;      // to connect, to send, for each read
constexpr ULONGLONG kBodyMs = 30'000;  // for the whole body
constexpr std::size_t kReadSize = 65536;

// A number the response's head gives for `what`; nothing when it has none.
std::optional<DWORD> HeadNumber(HINTERNET request, DWORD what) {
  DWORD value = 0, size = sizeof value;
  if (!HttpQueryInfoA(request, what | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr)) return std::nullopt;
  return value;
}

}  // namespace

std::optional<HttpAnswer> HttpGet(std::string_view address, std::string_view userAgent, std::size_t limit) {
  const std::optional<Address> a = CrackAddress(address);
  if (!a || (a->scheme != INTERNET_SCHEME_HTTP && a->scheme != INTERNET_SCHEME_HTTPS)) return std::nullopt;
  // A session of its own: it carries this User-Agent and these time limits,
  // and the page fetch's shared session stays as it is. Direct, as there.
  const InternetHandle session(
      InternetOpenA(std::string(userAgent).c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  if (!session) return std::nullopt;
  for (const DWORD option :
       {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    DWORD ms = kWaitMs;
    InternetSetOptionA(session.get(), option, &ms, sizeof ms);
  }
  const bool secure = a->scheme == INTERNET_SCHEME_HTTPS;
  const InternetHandle connection(InternetConnectA(session.get(), a->host.c_str(), a->port, a->user.c_str(),
                                                   a->password.c_str(), INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return std::nullopt;
  const char* acceptTypes[] = {"application/json", nullptr};
  // Nothing from or into the cache, no cookies, and no dialog of WinINet's own.
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                      INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH | (secure ? INTERNET_FLAG_SECURE : 0);
  const InternetHandle request(
      HttpOpenRequestA(connection.get(), "GET", a->path.c_str(), nullptr, nullptr, acceptTypes, flags, 0));
  if (!request || !HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return std::nullopt;

  HttpAnswer answer;
  const std::optional<DWORD> status = HeadNumber(request.get(), HTTP_QUERY_STATUS_CODE);
  if (!status) return std::nullopt;
  answer.status = *status;
  const std::optional<DWORD> length = HeadNumber(request.get(), HTTP_QUERY_CONTENT_LENGTH);
  if (length && *length > limit) return std::nullopt;

  const ULONGLONG deadline = GetTickCount64() + kBodyMs;
  for (;;) {
    // One byte more than allowed tells a body that is too long.
    const std::size_t at = answer.body.size();
    const std::size_t want = std::min(kReadSize, limit + 1 - at);
    answer.body.resize(at + want);
    DWORD got = 0;
    if (!InternetReadFile(request.get(), answer.body.data() + at, static_cast<DWORD>(want), &got))
      return std::nullopt;
    answer.body.resize(at + got);
    if (got == 0) break;
    if (answer.body.size() > limit || GetTickCount64() > deadline) return std::nullopt;
  }
  // A connection that closed early ends the body without an error.
  if (length && answer.body.size() != *length) return std::nullopt;
  return answer;
}

}  // namespace net
