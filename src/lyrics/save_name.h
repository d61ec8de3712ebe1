// Whether a song title from the lyrics site may name a file in the program's directory.
#pragma once

#include <string_view>

namespace lyrics {

// A title is saved as "<title>.lrc" beside the program. It must stay there: no
// path separator or drive colon (looked for as characters, so a GBK character
// whose trail byte is 0x5C, such as 錦, is fine), not "." or "..", and not a
// reserved device name (CON, NUL, COM1, ... with or without an extension).
bool IsSafeSaveName(std::string_view gbkTitle);

}  // namespace lyrics
