// The hidden web view: it loads its page once and nothing reads the answer.
#pragma once

#include <string>
#include <string_view>

namespace ui {

// How a web view loads a page; the program hands it its page fetch at start.
// Until then web views load nothing.
using PageFetch = std::string (*)(std::string_view address);
void SetPageFetch(PageFetch fetch);

// Requests `address` on a thread of its own, so the window never waits for it.
void RequestInBackground(std::string_view address);

}  // namespace ui
