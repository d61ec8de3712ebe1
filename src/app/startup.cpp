#include "app/startup.h"

#include <windows.h>

#include <shellapi.h>

#include "finder/finder.h"
#include "finder/finder_icon.h"
#include "finder/input_hook.h"
#include "forms/drag_icon_form.h"
#include "forms/main_form.h"
#include "lyrics/follow.h"
#include "lyrimark/config.h"
#include "player/hot_keys.h"
#include "ui/wide.h"
#include "ui/win32.h"
#include "update/announcement_check.h"
#include "update/update_window.h"

namespace app {

void OnMainWindowCreated() {
  // The announcement comes first: it may end the program, or an update may
  // close this window.
  update::CheckAnnouncement();
  if (!forms::MainOpen()) return;
  // The file list already shows the current directory, which is the run
  // directory at start; only the folder field needs it, by its real name.
  forms::main::编辑框1().SetWideText(ui::ModuleDirectory());
  player::RegisterHotKeys();
}

void OnMainWindowActivated() {
  finder::ResetCaptureCanvas();
}

void OnDragWindowCreated() {
  finder::FollowCursorTick();  // stand at the mouse before showing
  forms::drag_icon::Window().Show();
  finder::FinderTick();
  if (forms::DragIcon()) forms::main::Window().SetTopmost(true);  // the finder clears this at the drop
}

void OpenHomePage() {
  ShellExecuteW(nullptr, L"open", ui::Wide(LYRIMARK_HOME_URL).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// Destroying the hook object removes its hook, which a drag may have left
// installed; the music player is no longer read; a running update download is
// stopped.
void ExitCleanup() {
  finder::InputHook.reset();
  lyrics::EndPlayerReading();
  update::StopUpdateDownload();
}

}  // namespace app
