// How much the page fetch asks for in one read, and how much it takes in all.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "text/numbers.h"

namespace net {

// The read size for a response whose Content-Length header reads
// `contentLength` (empty when it has none): the length plus one, so a page
// below the cap comes in a single read, capped at 102400 bytes; 10240 when
// the length is missing, unreadable or not above 0.
inline std::uint32_t ReadChunkSize(std::string_view contentLength) {
  const std::int64_t length = text::ReadInteger(contentLength);
  return length <= 0 ? 10240u : static_cast<std::uint32_t>(std::min<std::int64_t>(length + 1, 102400));
}

// Where a page stops growing. Pages the program reads are a few kilobytes; a
// server sending without end would otherwise fill the address space of the
// 32-bit program and end it. What came up to here is kept, as after a failed read.
constexpr std::uint32_t kPageLimit = 64u << 20;

}  // namespace net
