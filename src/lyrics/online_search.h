// Searching the lyrics site, previewing a result and saving it.
#pragma once

namespace lyrics {

void SearchLyrics();
void PreviewResult();
void DownloadResult();

}  // namespace lyrics
