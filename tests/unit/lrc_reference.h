// The lyrics format's rules carried out literally, step by step, with the
// regular expressions themselves, a substring search per tag and line, and
// one-by-one sorted insertion. Slow on purpose: the real parser must agree
// with it byte for byte.
#pragma once

#include <string_view>

#include "lyrics/lrc_parser.h"

namespace lrc_reference {

// Fills `song` as ParseLyrics must. `regex_gave_up` tells whether the regular
// expression library gave up on some search (it does on pathological input);
// the matches found before that count and the rest of the text has none.
bool ParseLyrics(std::string_view text, lyrics::SongLyrics& song, bool& regex_gave_up);

}  // namespace lrc_reference
