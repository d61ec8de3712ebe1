#include "update/http_response.h"

#include <charconv>

#include "net/fetch_page.h"
#include "text/gbk.h"

namespace update {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// "bytes 0-99/1000" or "bytes 0-99/*".
void ReadContentRange(std::string_view value, ResponseHead& head) {
  if (value.substr(0, 6) != "bytes ") return;
  value.remove_prefix(6);
  const std::size_t dash = value.find('-');
  const std::size_t slash = value.find('/');
  if (dash == std::string_view::npos || slash == std::string_view::npos || dash > slash) return;
  const std::int64_t first = ReadByteCount(Trim(value.substr(0, dash)));
  const std::int64_t last = ReadByteCount(Trim(value.substr(dash + 1, slash - dash - 1)));
  const std::string_view totalText = Trim(value.substr(slash + 1));
  const std::int64_t total = totalText == "*" ? -1 : ReadByteCount(totalText);
  // The last position is one less than a count: at kLargestCount, the file would be longer than any.
  if (first < 0 || last < first || last >= kLargestCount || (total >= 0 && last >= total) ||
      (total < 0 && totalText != "*"))
    return;
  head.hasRange = true;
  head.rangeFirst = first;
  head.rangeLast = last;
  head.total = total;
}

}  // namespace

std::int64_t ReadByteCount(std::string_view s) {
  std::int64_t v = -1;
  if (s.empty() || !text::IsDigit(s.front())) return -1;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), v);
  return error == std::errc() && end == s.data() + s.size() && v <= kLargestCount ? v : -1;
}

std::string RangeRequest(std::string_view host, std::string_view path, std::int64_t first,
                         std::int64_t last) {
  // A request line cannot carry blanks or control bytes; everything else goes
  // out as the address gave it.
  std::string target;
  for (const char c : path) {
    const auto b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b == 0x7F) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      target += '%';
      target += kHex[b >> 4];
      target += kHex[b & 15];
    } else {
      target += c;
    }
  }
  std::string range = "bytes=" + std::to_string(first) + "-";
  if (last >= 0) range += std::to_string(last);
  return "GET " + target + " HTTP/1.0\r\nHost: " + std::string(host) + "\r\nUser-Agent: " + net::kUserAgent +
         "\r\nAccept: */*\r\nRange: " + range + "\r\n\r\n";
}

std::optional<ResponseHead> ReadResponseHead(std::string_view head) {
  std::size_t end = head.find('\n');
  std::string_view line = Trim(head.substr(0, end));
  if (line.substr(0, 5) != "HTTP/") return std::nullopt;
  const std::size_t space = line.find(' ');
  if (space == std::string_view::npos) return std::nullopt;
  ResponseHead result;
  const std::string_view code = line.substr(space + 1, 3);
  result.status = static_cast<int>(ReadByteCount(code));
  if (result.status < 100) return std::nullopt;

  while (end != std::string_view::npos) {
    const std::size_t start = end + 1;
    end = head.find('\n', start);
    line = Trim(head.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (line.empty()) break;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = Trim(line.substr(0, colon));
    const std::string_view value = Trim(line.substr(colon + 1));
    if (text::EqualsIgnoringAsciiCase(name, "Content-Length")) {
      // Two lengths that disagree leave the body's end to a guess, as an
      // unreadable one does; a repeat of the same is harmless.
      const std::int64_t length = ReadByteCount(value);
      if (length < 0 || (result.contentLength >= 0 && length != result.contentLength)) return std::nullopt;
      result.contentLength = length;
    } else if (text::EqualsIgnoringAsciiCase(name, "Content-Range")) {
      ReadContentRange(value, result);
    } else if (text::EqualsIgnoringAsciiCase(name, "Location")) {
      result.location = std::string(value);
    }
  }
  return result;
}

std::size_t HeadLength(std::string_view received) {
  const std::size_t crlf = received.find("\r\n\r\n");
  const std::size_t lf = received.find("\n\n");
  if (crlf == std::string_view::npos && lf == std::string_view::npos) return 0;
  if (lf == std::string_view::npos || (crlf != std::string_view::npos && crlf < lf)) return crlf + 4;
  return lf + 2;
}

bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::optional<Body> BodyOf(const ResponseHead& head, std::int64_t first, std::int64_t last) {
  if (head.status == 200) {
    return Body{.first = 0, .length = head.contentLength, .total = head.contentLength, .ranged = false};
  }
  if (head.status != 206 || !head.hasRange || head.rangeFirst != first) return std::nullopt;
  const std::int64_t length = head.rangeLast - first + 1;
  if (head.contentLength >= 0 && head.contentLength != length) return std::nullopt;
  if (last >= 0 && head.rangeLast != last) return std::nullopt;
  // Asked for the rest of the file, a part reaches its end only when the file's
  // size is known: "bytes 0-99/*" may be the first hundred bytes of many.
  if (last < 0 && (head.total < 0 || head.rangeLast != head.total - 1)) return std::nullopt;
  return Body{.first = first, .length = length, .total = head.total, .ranged = true};
}

}  // namespace update
