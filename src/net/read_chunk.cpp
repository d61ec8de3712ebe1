#include "net/read_chunk.h"

#include <algorithm>

#include "text/numbers.h"

namespace net {

namespace {

constexpr std::int64_t kCap = 102400;
constexpr std::uint32_t kWithoutLength = 10240;

}  // namespace

std::uint32_t ReadChunkSize(std::string_view contentLength) {
  const std::int64_t length = text::ReadInteger(contentLength);
  if (length <= 0) return kWithoutLength;
  return static_cast<std::uint32_t>(std::min(length + 1, kCap));
}

}  // namespace net
