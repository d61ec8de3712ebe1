// Searching the lyrics site and the synced-lyrics service, previewing a result
// and saving it.
#pragma once

#include <string_view>

namespace lyrics {

void SearchLyrics();
void PreviewResult();
void DownloadResult();

// The synced-lyrics service the search asks beside the site: the build's
// LYRIMARK_LRCLIB_URL. Empty, the site alone is asked; tests switch it so to
// see the search as a build without the service has it.
void UseLyricsService(std::string_view address);

}  // namespace lyrics
