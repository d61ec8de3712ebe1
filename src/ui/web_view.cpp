#include "ui/web_view.h"

#include <windows.h>

#include <memory>

#include "ui/guard.h"
#include "ui/scoped.h"

namespace ui {

namespace {

PageFetch fetchPage = nullptr;

DWORD WINAPI Load(void* address) {
  const std::unique_ptr<std::string> owned(static_cast<std::string*>(address));
  // The answer is not used: loading the page is the point.
  Guarded([&] { fetchPage(*owned); });
  return 0;
}

}  // namespace

void SetPageFetch(PageFetch fetch) {
  fetchPage = fetch;
}

void RequestInBackground(std::string_view address) {
  if (address.empty() || !fetchPage) return;
  auto owned = std::make_unique<std::string>(address);
  // Nobody waits for the thread; ending the process ends it.
  if (Handle(CreateThread(nullptr, 0, Load, owned.get(), 0, nullptr))) owned.release();
}

}  // namespace ui
