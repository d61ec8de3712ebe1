#include "app/startup.h"

#include <windows.h>
#include <shellapi.h>

#include "app/finder_icon.h"
#include "app/windows.h"
#include "caption/input_hook.h"
#include "finder/finder.h"
#include "lyrimark/config.h"
#include "ui/wide.h"
#include "update/announcement_check.h"
#include "update/update_window.h"

namespace app {

void OnMainWindowCreated() {
  // The announcement comes first: it may end the program, or an update may
  // close this window.
  update::CheckAnnouncement();
  if (!MainOpen()) return;
  // The file list already shows the current directory, which is the run
  // directory at start; only the folder field needs it.
  Unit<ui::Edit>("编辑框1").SetText(RunDirectory());
}

void OnMainWindowActivated() { ResetCaptureCanvas(); }

void OnDragWindowCreated() {
  finder::FollowCursorTick();  // stand at the mouse before showing
  DragIcon()->Show();
  finder::FinderTick();
  if (DragIcon()) Main().SetTopmost(true);  // the finder clears this at the drop
}

void OpenHomePage() {
  ShellExecuteW(nullptr, L"open", ui::Wide(LYRIMARK_HOME_URL).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// Destroying the hook object removes its hook, which a drag may have left
// installed; a running update download is stopped.
void ExitCleanup() {
  caption::InputHook.reset();
  update::StopUpdateDownload();
}

}  // namespace app
