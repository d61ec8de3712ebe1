// Whether a name from a web page may name a file in the program's directory.
#pragma once

#include <string_view>

namespace text {

// A name from a page (a song title saved as "<title>.lrc", the update's file
// name) is joined to the program's directory. It must stay there: not empty, no
// path separator or drive colon (looked for as characters, so a GBK character
// whose trail byte is 0x5C, such as 錦, is fine), no control byte, not "." or
// "..", and not a reserved device name (CON, NUL, COM1, ... with or without an
// extension).
bool IsSafeFileName(std::string_view gbkName);

// Whether Windows saves a file under exactly this name, so that the file a
// program starts by the name is the file saved by it: no final dot or blank
// (Windows drops them), not dots and blanks alone, and none of the characters
// < > " | ? * (refused, or read as a pattern). Looked for as characters.
bool IsExactFileName(std::string_view gbkName);

}  // namespace text
