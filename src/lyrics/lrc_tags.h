// The patterns of the LRC format, each as a small linear scanner. They give
// exactly the matches a backtracking Perl-style matcher gives for them
// (leftmost first, greedy, successive matches not overlapping), so lyrics
// files parse the same way they always have, in linear time and without
// anything that can throw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/gbk.h"

namespace lyrics::lrc {

// Time tags are "\[[0-9]*:[0-9]*.[0-9]*\]": the byte before the fraction is
// any byte at all, so [01:23.45], [01:23:45], [1:2.3] and even [01:23] are tags.

// Every end a time tag starting at s[i] can have, npos where absent: `longer`
// when the '.' takes the byte after all the seconds digits, `shorter` when it
// takes the last seconds digit and a ']' follows at once; a match prefers
// `longer`. A tag text can occur at s[i] only as one of these two substrings.
struct TimeTagEnds {
  std::size_t longer = text::npos, shorter = text::npos;
};
TimeTagEnds PossibleTimeTagEnds(std::string_view s, std::size_t i);

struct Span {
  std::size_t begin = text::npos, end = text::npos;
};

// The first time tag at or after `from`; begin is npos when there is none.
Span FindTimeTag(std::string_view s, std::size_t from);

// The text with every time tag taken out.
std::string RemoveTimeTags(std::string_view s);

// Milliseconds of a time tag's text: the minutes digits after '[', the
// seconds digits after the first ':' and the fraction digits just before the
// first ']', each read like atof; the fraction counts as milliseconds as it stands.
std::int32_t TimeTagMilliseconds(std::string_view tag);

// The text with every run of blank lines (empty, or only white space and '|')
// replaced by one "*****" line. A run starts at a line start and reaches up to
// the CR of its last blank line; the LF after that CR stays in the text.
std::string MarkBlankLines(std::string_view text);

// The value of the first ID tag that starts with `opening` (such as "[ti:")
// and closes with a ']' before any white space; the value reaches up to the
// last such ']'. Empty when there is none.
std::string_view IdTagValue(std::string_view text, std::string_view opening);

}  // namespace lyrics::lrc
