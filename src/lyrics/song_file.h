// Which file of the lyrics folder holds a song's lyrics, by the names users
// give such files. Platform-free.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lyrics {

// The index in `files` (names in the folder, GBK) of the song's lyrics file:
// "<title>.lrc", else "<artist> - <title>.lrc", else "<title> - <artist>.lrc",
// matched as Windows matches file names in these letters, without regard to
// the case of ASCII letters. -1: none, or no title.
int FindSongFile(const std::vector<std::string>& files, std::string_view title, std::string_view artist);

}  // namespace lyrics
