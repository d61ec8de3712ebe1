// A GET for a web service that answers with data: unlike the page fetch it
// tells the status (an error page must not pass for an answer), names its own
// User-Agent, bounds its time and size, and fails whole.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace net {

struct HttpAnswer {
  unsigned status = 0;  // the HTTP status code of the final response
  std::string body;     // all of it, as announced
};

// GETs `address` (http or https) as `userAgent`, asking for JSON. Nothing on
// any failure: a bad address, no connection, a time-out (10 s to connect, to
// send and for each wait for more bytes; 30 s for the whole body), a body
// longer than `limit` or shorter than its Content-Length. Blocks the calling
// thread; several threads may call it at once.
std::optional<HttpAnswer> HttpGet(std::string_view address, std::string_view userAgent, std::size_t limit);

}  // namespace net
