// HTTPS and FTP through the system's internet functions, which bring TLS and
// the FTP dialogue with them. (Plain HTTP takes the faster socket path; these
// functions handle it too.)
#include <windows.h>

#include <wininet.h>

#include <algorithm>
#include <initializer_list>
#include <mutex>

#include "net/fetch_page.h"
#include "update/download_connection.h"

namespace update {

namespace {

void SetTimeout(HINTERNET h, DWORD option, int ms) {
  if (ms <= 0) return;
  DWORD value = static_cast<DWORD>(ms);
  InternetSetOptionA(h, option, &value, sizeof value);
}

class InternetConnection final : public Connection {
 public:
  explicit InternetConnection(const Source& source) : source_(source) {}
  ~InternetConnection() override { Abort(); }

  bool Open(std::int64_t first, std::int64_t last, Body& body, std::string& redirect) override {
    const bool ftp = source_.scheme == INTERNET_SCHEME_FTP;
    HINTERNET session;
    {
      std::lock_guard hold(lock_);
      if (stopped_) return false;
      session_ = InternetOpenA(net::kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
      if (!session_) return false;
      SetTimeout(session_, INTERNET_OPTION_CONNECT_TIMEOUT, source_.connectTimeoutMs);
      SetTimeout(session_, INTERNET_OPTION_SEND_TIMEOUT, source_.sendTimeoutMs);
      SetTimeout(session_, INTERNET_OPTION_RECEIVE_TIMEOUT, source_.receiveTimeoutMs);
      SetTimeout(session_, INTERNET_OPTION_DATA_SEND_TIMEOUT, source_.sendTimeoutMs);
      SetTimeout(session_, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, source_.receiveTimeoutMs);
      session = session_;
    }
    // The calls below block; Abort closes the handles under them.
    const HINTERNET server =
        Keep(InternetConnectA(session, source_.host.c_str(), source_.port,
                              ftp ? source_.user.c_str() : nullptr, ftp ? source_.password.c_str() : nullptr,
                              ftp ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP,
                              ftp ? INTERNET_FLAG_PASSIVE : 0, 0),
             server_);
    if (!server) return false;
    return ftp ? OpenFtp(server, first, body) : OpenHttp(server, first, last, body, redirect);
  }

  int Read(char* buffer, int size, int blockSize) override {
    HINTERNET file;
    {
      std::lock_guard hold(lock_);
      file = file_;
    }
    DWORD n = 0;
    if (!file || !InternetReadFile(file, buffer, static_cast<DWORD>(std::min(size, blockSize)), &n))
      return -1;
    return static_cast<int>(n);
  }

  void Abort() override {
    // Closing a handle is how a blocked call on it is ended.
    std::lock_guard hold(lock_);
    stopped_ = true;
    for (HINTERNET* h : {&file_, &server_, &session_}) {
      if (*h) InternetCloseHandle(*h);
      *h = nullptr;
    }
  }

 private:
  bool OpenHttp(HINTERNET server, std::int64_t first, std::int64_t last, Body& body, std::string& redirect) {
    const char* accept[] = {"*/*", nullptr};
    // Redirects are the downloader's to follow, the same way on every path
    // and to FTP too, however many connections the file comes over.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                  INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (source_.scheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    const HINTERNET request = Keep(
        HttpOpenRequestA(server, "GET", source_.path.c_str(), nullptr, nullptr, accept, flags, 0), file_);
    if (!request) return false;
    std::string range =
        "Range: bytes=" + std::to_string(first) + "-" + (last >= 0 ? std::to_string(last) : "");
    range += "\r\n";
    if (!HttpSendRequestA(request, range.c_str(), static_cast<DWORD>(range.size()), nullptr, 0)) return false;
    std::string head(4096, '\0');
    for (;;) {
      DWORD size = static_cast<DWORD>(head.size());
      if (HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, head.data(), &size, nullptr)) {
        head.resize(size);
        break;
      }
      if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= head.size()) return false;
      head.resize(size);
    }
    const std::optional<ResponseHead> parsed = ReadResponseHead(head);
    if (parsed && IsRedirect(parsed->status)) redirect = parsed->location;
    const std::optional<Body> answer = parsed ? BodyOf(*parsed, first, last) : std::nullopt;
    if (!answer) return false;
    body = *answer;
    return true;
  }

  // One connection carries the whole file; its size comes from the server's
  // SIZE answer, which only a binary transfer gets.
  bool OpenFtp(HINTERNET server, std::int64_t first, Body& body) {
    if (first != 0) return false;
    std::int64_t size = -1;
    if (source_.ftpBinary && FtpCommandA(server, FALSE, FTP_TRANSFER_TYPE_BINARY, "TYPE I", 0, nullptr) &&
        FtpCommandA(server, FALSE, FTP_TRANSFER_TYPE_BINARY, ("SIZE " + source_.path).c_str(), 0, nullptr)) {
      char answer[512];
      DWORD length = sizeof answer - 1, code = 0;
      if (InternetGetLastResponseInfoA(&code, answer, &length)) {
        const std::string_view reply(answer, std::min<DWORD>(length, sizeof answer - 1));
        if (reply.substr(0, 4) == "213 ") {
          // A size no file has fails the download rather than stand for one.
          size = ReadByteCount(reply.substr(4, reply.find_first_of("\r\n") - 4));
          if (size < 0) return false;
        }
      }
    }
    const DWORD type = source_.ftpBinary ? FTP_TRANSFER_TYPE_BINARY : FTP_TRANSFER_TYPE_ASCII;
    if (!Keep(FtpOpenFileA(server, source_.path.c_str(), GENERIC_READ, type | INTERNET_FLAG_RELOAD, 0),
              file_)) {
      return false;
    }
    body = {.first = 0, .length = size, .total = size, .ranged = false};
    return true;
  }

  // Keeps a new handle for Abort to close; nullptr when there is none or a stop came meanwhile.
  HINTERNET Keep(HINTERNET h, HINTERNET& slot) {
    std::lock_guard hold(lock_);
    if (h && stopped_) InternetCloseHandle(h);
    if (!h || stopped_) return nullptr;
    slot = h;
    return h;
  }

  const Source source_;
  std::mutex lock_;
  bool stopped_ = false;
  HINTERNET session_ = nullptr, server_ = nullptr, file_ = nullptr;
};

}  // namespace

std::unique_ptr<Connection> NewInternetConnection(const Source& source) {
  return std::make_unique<InternetConnection>(source);
}

}  // namespace update
