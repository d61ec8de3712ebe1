// The HTTP the downloader speaks over a plain socket: the request for a byte
// range of the file, and what it needs to know of the response head.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace update {

// The request for the bytes `first` .. `last` of `path` (last < 0: to the
// end). HTTP/1.0, so no server answers in chunks; `host` is the Host header
// (with the port when it is not the default).
std::string RangeRequest(std::string_view host, std::string_view path, std::int64_t first, std::int64_t last);

// The largest byte count or position a server may name: 2^53, exact in the
// double the progress counts in, and far from overflowing any sum of two.
// A larger number is no file's.
constexpr std::int64_t kLargestCount = std::int64_t{1} << 53;

// A byte count as servers write it: decimal digits and nothing else, at most
// kLargestCount; -1 for anything else.
std::int64_t ReadByteCount(std::string_view digits);

struct ResponseHead {
  int status = 0;
  std::int64_t contentLength = -1;  // -1: not given
  bool hasRange = false;            // a Content-Range "bytes first-last/total"
  std::int64_t rangeFirst = 0;
  std::int64_t rangeLast = -1;
  std::int64_t total = -1;    // from the Content-Range; -1: "*" or not given
  std::string location = {};  // the Location header: where a redirect points
};

// Reads a response head: the status line and the header lines up to the blank
// line (which may be missing). Nothing when the status line is not HTTP's, or
// when a Content-Length is not a byte count or two disagree: the length of the
// body is then unknowable, and guessing could take a cut body for the file.
// Header names are matched without regard to case; a malformed Content-Range
// counts as not given.
std::optional<ResponseHead> ReadResponseHead(std::string_view head);

// The length of the head in `received`, blank line included; 0 while it is incomplete.
std::size_t HeadLength(std::string_view received);

// Which bytes of the file a response carries.
struct Body {
  std::int64_t first = 0;
  std::int64_t length = -1;  // -1: until the connection closes
  std::int64_t total = -1;   // the file's size, -1 when unknown
  bool ranged = false;       // the server answered the range asked for
};

// 301, 302, 303, 307 and 308: the file is elsewhere, at the Location.
bool IsRedirect(int status);

// What a response to the request for bytes `first` .. (to the end, or `last`)
// delivers: the whole file (200), or the part asked for (206 whose range
// starts at `first` and ends at `last`, or at the end of a file of known size
// when `last` is negative, and whose Content-Length, if given, is the range's).
// Nothing for any other answer, a part cut short included.
std::optional<Body> BodyOf(const ResponseHead& head, std::int64_t first, std::int64_t last);

}  // namespace update
