#include "lyrics/library.h"

#include "forms/main_form.h"
#include "ui/folder_dialog.h"

namespace lyrics {

// The folder goes by its real name, through 编辑框1 too, so that one whose
// name holds what GBK lacks (a Japanese or Korean title) works.

void ChooseLyricsFolder() {
  const std::wstring folder = ui::ChooseFolder("选择歌词目录");
  // Cancelled, or a choice without a file-system path; or the main window
  // went while the dialog was open.
  if (folder.empty() || !forms::MainOpen()) return;
  forms::main::文件框1().SetDirectory(folder);
  forms::main::编辑框1().SetWideText(folder);
}

void RefreshLyricsFolder() {
  // A path typed into 编辑框1 by hand takes effect here.
  const std::wstring folder = forms::main::编辑框1().WideText();
  forms::main::文件框1().SetDirectory(folder);
  forms::main::编辑框1().SetWideText(folder);
}

}  // namespace lyrics
