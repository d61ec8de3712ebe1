#include "lyrics/online_search.h"

namespace lyrics {

void SearchLyrics() {}
void PreviewResult() {}
void DownloadResult() {}

}  // namespace lyrics
