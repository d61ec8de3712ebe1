// The order of a song's timed lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lyrics::lrc {

// Where each record ends up (its index from 0) in a list kept sorted by time
// when the records are inserted one by one, in index order: a time not below
// the last entry's is appended, one not above the first entry's goes in front,
// and any other goes where a binary search over the list puts it, directly
// after the first equal entry the search meets or else between its
// neighbours. Lyrics files have always been ordered this way, ties included.
std::vector<std::size_t> FinalPositions(const std::vector<std::int32_t>& times);

}  // namespace lyrics::lrc
