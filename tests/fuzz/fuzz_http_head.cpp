// The downloader's reader of HTTP response heads, on whatever a server may
// send: it must neither crash nor overflow, and a body it accepts must be a
// piece of the file that fits where it is written, framed one way only.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "pieces.h"
#include "require.h"
#include "update/http_response.h"

namespace {

// The head's texts, for inputs read as pieces.
const char* const kPieces[] = {"HTTP/1.1 206 Partial\r\n",
                               "HTTP/1.0 200 OK\r\n",
                               "HTTP/1.1 302 Found\r\n",
                               "Content-Length: ",
                               "Content-Range: bytes ",
                               "Location: ",
                               "\r\n",
                               "\r\n\r\n",
                               "-",
                               "/",
                               "*",
                               "9007199254740992",
                               "18446744073709551616",
                               "0",
                               "1048575",
                               " "};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string received = TextFrom(data, size, kPieces);
  const std::size_t length = update::HeadLength(received);
  Require(length <= received.size());
  const std::optional<update::ResponseHead> head =
      update::ReadResponseHead(std::string_view(received).substr(0, length ? length : received.size()));
  if (!head) return 0;
  Require(head->contentLength >= -1 && head->contentLength <= update::kLargestCount);
  if (head->hasRange) {
    Require(0 <= head->rangeFirst && head->rangeFirst <= head->rangeLast &&
            head->rangeLast <= update::kLargestCount);
    Require(head->total < 0 || head->rangeLast < head->total);
  }
  // The requests the downloader makes: the whole file, a part, the rest from a byte.
  for (const auto& [first, last] : {std::pair<std::int64_t, std::int64_t>{0, -1}, {1000, 1999}, {4096, -1}}) {
    const std::optional<update::Body> body = update::BodyOf(*head, first, last);
    if (!body) continue;
    Require(!update::IsRedirect(head->status));
    Require(body->length >= -1 && body->length <= update::kLargestCount);
    if (body->ranged) {
      Require(body->first == first && body->length >= 1);
      Require(last < 0 || body->first + body->length - 1 == last);
      Require(body->total < 0 || body->first + body->length <= body->total);
      // The rest of the file is taken only from a file of known size, up to its end.
      Require(last >= 0 || body->first + body->length == body->total);
      Require(head->contentLength < 0 || head->contentLength == body->length);
    } else {
      Require(body->first == 0);
    }
  }
  return 0;
}
