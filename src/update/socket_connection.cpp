// Plain HTTP over a socket of our own.
//
// Why not the system's internet functions, as for HTTPS and FTP: under Wine
// every receive call is a round trip to the Wine server, and one 10 KB read
// block a call held them (and a plain socket read the same way) to about a
// fifth of curl's throughput on loopback (bench/RESULTS.md). A socket takes a
// list of blocks in one receive call, so every block keeps the read block size
// while the calls become few; the internet functions read into one buffer only.
// Each wait is an overlapped operation waited for together with the stop
// event, so the time-outs hold and a stop ends a connection at once,
// connecting or reading.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "ui/scoped.h"
#include "update/download_connection.h"

namespace update {

namespace {

bool SocketsReady() {
  static const bool ready = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return ready;
}

DWORD WaitLimit(int ms) {
  return ms > 0 ? static_cast<DWORD>(ms) : INFINITE;
}

// Enough for a head with a few cookies; a longer one is no file server's.
constexpr std::size_t kLongestHead = 65536;
// The most buffers one receive call takes.
constexpr int kMostBlocks = 32;

class SocketConnection final : public Connection {
 public:
  explicit SocketConnection(const Source& source)
      : source_(source),
        io_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

  ~SocketConnection() override {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
  }

  bool Open(std::int64_t first, std::int64_t last, Body& body, std::string& redirect) override {
    if (!io_ || !stop_ || !SocketsReady() || !Connect()) return false;
    std::string host = source_.host;
    if (host.find(':') != std::string::npos) host = '[' + host + ']';  // an IPv6 address
    if (source_.port != 80) {
      host += ':';
      host += std::to_string(source_.port);
    }
    const std::string request = RangeRequest(host, source_.path, first, last);
    for (std::size_t sent = 0; sent < request.size();) {
      WSABUF piece{static_cast<ULONG>(request.size() - sent), const_cast<char*>(request.data() + sent)};
      const int n = Transfer(false, &piece, 1, source_.sendTimeoutMs);
      if (n <= 0) return false;
      sent += static_cast<std::size_t>(n);
    }

    std::string received;
    std::size_t headLength = 0;
    while (headLength == 0) {
      char chunk[4096];
      WSABUF piece{sizeof chunk, chunk};
      const int n = Transfer(true, &piece, 1, source_.receiveTimeoutMs);
      if (n <= 0 || received.size() > kLongestHead) return false;
      received.append(chunk, static_cast<std::size_t>(n));
      headLength = HeadLength(received);
    }
    const std::optional<ResponseHead> head =
        ReadResponseHead(std::string_view(received).substr(0, headLength));
    if (!head) return false;
    if (IsRedirect(head->status)) redirect = head->location;
    const std::optional<Body> answer = BodyOf(*head, first, last);
    if (!answer) return false;
    body = *answer;
    early_ = received.substr(headLength);
    return true;
  }

  int Read(char* buffer, int size, int blockSize) override {
    if (stopped_) return -1;
    if (earlyAt_ < early_.size()) {
      const auto n = std::min(early_.size() - earlyAt_, static_cast<std::size_t>(size));
      early_.copy(buffer, n, earlyAt_);
      earlyAt_ += n;
      return static_cast<int>(n);
    }
    WSABUF blocks[kMostBlocks];
    DWORD count = 0;
    for (int at = 0; at < size && count < kMostBlocks; at += blockSize) {
      blocks[count++] = {static_cast<ULONG>(std::min(blockSize, size - at)), buffer + at};
    }
    return Transfer(true, blocks, count, source_.receiveTimeoutMs);
  }

  void Abort() override {
    stopped_ = true;
    SetEvent(stop_.get());
  }

 private:
  bool Connect() {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (getaddrinfo(source_.host.c_str(), std::to_string(source_.port).c_str(), &hints, &found) != 0)
      return false;
    for (addrinfo* a = found; a && socket_ == INVALID_SOCKET && !stopped_; a = a->ai_next) {
      const SOCKET s =
          WSASocketW(a->ai_family, a->ai_socktype, a->ai_protocol, nullptr, 0, WSA_FLAG_OVERLAPPED);
      if (s == INVALID_SOCKET) continue;
      if (ConnectWithin(s, a->ai_addr, static_cast<int>(a->ai_addrlen))) {
        socket_ = s;
      } else {
        closesocket(s);
      }
    }
    freeaddrinfo(found);
    return socket_ != INVALID_SOCKET;
  }

  // A connect that gives up after the connect time-out or at a stop.
  bool ConnectWithin(SOCKET s, const sockaddr* address, int length) {
    ResetEvent(io_.get());
    if (WSAEventSelect(s, io_.get(), FD_CONNECT) != 0) return false;  // makes the socket non-blocking
    bool connected = connect(s, address, length) == 0;
    if (!connected && WSAGetLastError() == WSAEWOULDBLOCK) {
      const HANDLE events[] = {io_.get(), stop_.get()};
      WSANETWORKEVENTS happened{};
      connected =
          WaitForMultipleObjects(2, events, FALSE, WaitLimit(source_.connectTimeoutMs)) == WAIT_OBJECT_0 &&
          WSAEnumNetworkEvents(s, io_.get(), &happened) == 0 && (happened.lNetworkEvents & FD_CONNECT) &&
          happened.iErrorCode[FD_CONNECT_BIT] == 0;
    }
    u_long blocking = 0;
    return WSAEventSelect(s, nullptr, 0) == 0 && ioctlsocket(s, FIONBIO, &blocking) == 0 && connected;
  }

  // One overlapped send or receive, waited for up to `timeoutMs` or until a
  // stop: the bytes moved, 0 for a receive at the end, -1 on failure.
  int Transfer(bool receive, WSABUF* buffers, DWORD count, int timeoutMs) {
    if (stopped_) return -1;
    WSAOVERLAPPED pending{};
    pending.hEvent = io_.get();  // the call resets it as it begins
    DWORD moved = 0, flags = 0;
    const int started = receive ? WSARecv(socket_, buffers, count, &moved, &flags, &pending, nullptr)
                                : WSASend(socket_, buffers, count, &moved, 0, &pending, nullptr);
    if (started == 0) return static_cast<int>(moved);  // done at once, the common case while data flows
    if (WSAGetLastError() != WSA_IO_PENDING) return -1;
    const HANDLE events[] = {io_.get(), stop_.get()};
    if (WaitForMultipleObjects(2, events, FALSE, WaitLimit(timeoutMs)) != WAIT_OBJECT_0) {
      // Time-out or stop: the buffers must be free again before we return.
      CancelIoEx(reinterpret_cast<HANDLE>(socket_), &pending);
      WSAGetOverlappedResult(socket_, &pending, &moved, TRUE, &flags);
      return -1;
    }
    return WSAGetOverlappedResult(socket_, &pending, &moved, FALSE, &flags) ? static_cast<int>(moved) : -1;
  }

  const Source source_;
  SOCKET socket_ = INVALID_SOCKET;
  const ui::Handle io_;    // signals the pending operation's end
  const ui::Handle stop_;  // set once by Abort
  std::atomic<bool> stopped_ = false;
  std::string early_;  // body bytes that arrived with the head
  std::size_t earlyAt_ = 0;
};

}  // namespace

std::unique_ptr<Connection> NewSocketConnection(const Source& source) {
  return std::make_unique<SocketConnection>(source);
}

}  // namespace update
