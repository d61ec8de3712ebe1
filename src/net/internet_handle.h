// An owned WinINet handle (session, connection or request), closed at scope end.
#pragma once

#include <windows.h>

#include <wininet.h>

#include <memory>

namespace net {

struct InternetCloser {
  void operator()(HINTERNET h) const { InternetCloseHandle(h); }
};
using InternetHandle = std::unique_ptr<void, InternetCloser>;

}  // namespace net
