#include "ui/web_view.h"

#include <windows.h>

#include <memory>
#include <string>

#include "net/fetch_page.h"
#include "ui/guard.h"

namespace ui {

namespace {

DWORD WINAPI Load(void* address) {
  const std::unique_ptr<std::string> owned(static_cast<std::string*>(address));
  // The answer is not used: loading the page is the point.
  Guarded([&] { net::FetchPage(*owned); });
  return 0;
}

}  // namespace

void RequestInBackground(std::string_view address) {
  if (address.empty()) return;
  auto* owned = new std::string(address);
  if (HANDLE thread = CreateThread(nullptr, 0, Load, owned, 0, nullptr)) {
    CloseHandle(thread);  // nobody waits for it; ending the process ends it
  } else {
    delete owned;
  }
}

}  // namespace ui
