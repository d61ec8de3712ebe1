// The start-up check of the maker's announcement page.
#pragma once

namespace update {

// Reads the announcement page: it may end the program, retitles the main
// window, and forces or offers the update.
void CheckAnnouncement();

}  // namespace update
