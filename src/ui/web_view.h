// The hidden web view: it loads its page once and nothing reads the answer.
#pragma once

#include <string_view>

namespace ui {

// Requests `address` on a thread of its own, so the window never waits for it.
void RequestInBackground(std::string_view address);

}  // namespace ui
