// Searching the lyrics site and the synced-lyrics service, previewing a result
// and saving it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "lyrics/service_answer.h"

namespace lyrics {

void SearchLyrics();
void PreviewResult();
void DownloadResult();

// The synced-lyrics service the search asks beside the site: the build's
// LYRIMARK_LRCLIB_URL. Empty, the site alone is asked; tests switch it so to
// see the search as a build without the service has it.
void UseLyricsService(std::string_view address);

// The service's address for one song (title and artist in GBK, its length in
// seconds, 0 when unknown); empty when the service is off.
std::string ServiceSongRequest(std::string_view title, std::string_view artist, int seconds);
// Asks the service at that address: one request, which waits for its answer
// (so, off the user-interface thread). Nothing when the service has no such
// song with synced lyrics, or fails in any way.
std::optional<ServiceTrack> AskServiceSong(const std::string& address);
// Saves a track's lyrics as a double-click on its row saves them: beside the
// program, under the track's own name, in UTF-8. The file's path; empty when
// the name would not stay in the program's folder or the file was not written.
std::wstring SaveServiceLyrics(const ServiceTrack& track);

}  // namespace lyrics
