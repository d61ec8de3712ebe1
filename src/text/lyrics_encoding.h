// A lyrics file's bytes as the program's text. Files come as today's players
// and sites write them, in UTF-8 (with or without a byte-order mark) or
// UTF-16 (with one), and as older Chinese players wrote them, in GBK.
#pragma once

#include <string>
#include <string_view>

namespace text {

enum class LyricsEncoding { kGbk, kUtf8, kUtf16Le, kUtf16Be };

// Decided on the whole file, never on a part of it: a mark says UTF-8 or
// UTF-16; else a file that is strict UTF-8 throughout (no overlong forms, no
// surrogates, nothing above U+10FFFF) with at least one byte of 0x80 or more
// is UTF-8; anything else is GBK. A short GBK text is valid UTF-8 by chance
// now and then; a long one practically never is, so a GBK file of only a few
// characters can be taken for UTF-8: the documented limit of the rule.
LyricsEncoding DecideLyricsEncoding(std::string_view bytes);

// The file's text in GBK, without its mark, converted as code page 936 has
// it. A GBK (or ASCII) file is its bytes unchanged; a character that GBK lacks
// becomes '?' (one beyond the BMP "??", as for its two UTF-16 units), and so
// does each byte of a file marked UTF-8 that starts no character. A last odd
// byte of UTF-16 is dropped. The lines of a UTF-8 or UTF-16 file end in CR LF
// whatever they ended in (LF alone, CR alone); a GBK file keeps its bytes.
std::string LyricsText(std::string bytes);

// The text with every line ending in CR LF, as the program reads lyrics: LF
// alone (as today's players and sites end lines) or CR alone becomes CR LF,
// and a CR LF stays one line end. For text whose line breaks are ASCII bytes:
// GBK and UTF-8.
std::string CrLfLineEnds(std::string text);

}  // namespace text
