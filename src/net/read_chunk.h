// How much the page fetch asks for in one read, and how much it takes in all.
#pragma once

#include <cstdint>
#include <string_view>

namespace net {

// The read size for a response whose Content-Length header reads
// `contentLength` (empty when it has none): the length plus one, so a page
// below the cap comes in a single read, capped at 102400 bytes; 10240 when
// the length is missing, unreadable or not above 0.
std::uint32_t ReadChunkSize(std::string_view contentLength);

// Where a page stops growing. Pages the program reads are a few kilobytes; a
// server sending without end would otherwise fill the address space of the
// 32-bit program and end it. What came up to here is kept, as after a failed read.
constexpr std::uint32_t kPageLimit = 64u << 20;

}  // namespace net
