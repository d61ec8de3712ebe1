// One connection of a download: it asks the server for a byte range of the
// file and reads the bytes as they come.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "net/address.h"
#include "update/download_parameters.h"
#include "update/http_response.h"

namespace update {

// Where the file comes from, as read from the address (the login is FTP's),
// and the time-outs of its connections.
struct Source : net::Address {
  std::string address;  // the whole address, which a relative redirect is read against
  bool ftpBinary = true;
  int connectTimeoutMs = 0, sendTimeoutMs = 0, receiveTimeoutMs = 0;
};

// Reads `address` and the settings of `p`; false when the address is none
// the downloader can fetch, or holds a control byte.
bool ReadSource(const DownloadParameters& p, const std::string& address, Source& source);

// Reads where a redirect from `from` to `location` (whole, or relative to
// `from`) leads into `to`, which may be `from`; false, with `to` untouched,
// when it leads nowhere ReadSource takes, or out of https.
bool ReadRedirect(const DownloadParameters& p, const Source& from, const std::string& location, Source& to);

class Connection {
 public:
  virtual ~Connection() = default;
  // Asks for the bytes from `first` to `last` (last < 0: to the end). False
  // when the server cannot be reached, stays silent past a time-out, or
  // answers with anything but the file (a status other than 200 or 206); a
  // redirect leaves where it points in `redirect`.
  virtual bool Open(std::int64_t first, std::int64_t last, Body& body, std::string& redirect) = 0;
  // Reads up to `size` bytes, asking the connection for at most `blockSize`
  // bytes a block: the count read, 0 at the end of the body, -1 on failure or stop.
  virtual int Read(char* buffer, int size, int blockSize) = 0;
  // From another thread: ends the transfer; a waiting Open or Read returns soon.
  virtual void Abort() = 0;
};

// HTTP over a socket of its own: each read is one receive call.
std::unique_ptr<Connection> NewSocketConnection(const Source& source);
// HTTPS and FTP through the system's internet functions.
std::unique_ptr<Connection> NewInternetConnection(const Source& source);

inline std::unique_ptr<Connection> NewConnection(const Source& source) {
  return source.scheme == INTERNET_SCHEME_HTTP ? NewSocketConnection(source) : NewInternetConnection(source);
}

}  // namespace update
