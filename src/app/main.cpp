// The program entry: start-up in order, then the message loop.
#include <windows.h>

#include <ole2.h>

#include <cstdlib>

#include "app/layouts.h"
#include "app/startup.h"
#include "app/windows.h"
#include "caption/input_hook.h"
#include "net/fetch_page.h"
#include "ui/message_loop.h"
#include "ui/web_view.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  app::EnterRunDirectory();
  // The folder dialog and the shell need COM on this thread.
  OleInitialize(nullptr);
  caption::InputHook.emplace();
  std::atexit(app::ExitCleanup);
  ui::SetPageFetch(net::FetchPage);
  ui::Window* main = ui::Window::Open(app::kMainLayout, app::Bindings());
  if (!main) return 0;  // the start-up check ended the program's use
  main->Show();
  return ui::RunMessageLoop();
}
