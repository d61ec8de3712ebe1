// The blocking web page fetch used wherever the program reads a page into memory.
#pragma once

#include <string>
#include <string_view>

namespace net {

// The User-Agent of the program's page fetches and the update's downloads (the
// lyrics service, which asks its clients to name themselves, hears another).
constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// GETs `address` (http or https) and returns the whole response body, whatever
// the status; empty on any failure before the first bytes arrive. Bytes that
// arrived before a failed read are kept; a body longer than kPageLimit
// (read_chunk.h) is cut there. Blocks the calling thread.
std::string FetchPage(std::string_view address);

}  // namespace net
