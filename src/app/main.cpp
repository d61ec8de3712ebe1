// The program entry: start-up in order, then the message loop.
#include <windows.h>

#include <ole2.h>

#include <cstdlib>

#include "app/startup.h"
#include "finder/input_hook.h"
#include "forms/main_form.h"
#include "forms/program.h"
#include "net/fetch_page.h"
#include "ui/message_loop.h"
#include "ui/web_view.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  forms::EnterRunDirectory();
  // The folder dialog and the shell need COM on this thread.
  OleInitialize(nullptr);
  finder::InputHook.emplace();
  std::atexit(app::ExitCleanup);
  ui::SetPageFetch(net::FetchPage);
  ui::Window* main = forms::OpenMain(app::Bindings());
  if (!main) return 0;  // the start-up check ended the program's use
  main->Show();
  return ui::RunMessageLoop();
}
