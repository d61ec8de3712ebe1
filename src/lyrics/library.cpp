#include "lyrics/library.h"

#include "forms/main_form.h"
#include "ui/folder_dialog.h"

namespace lyrics {

void ChooseLyricsFolder() {
  const std::string folder = ui::ChooseFolder("选择歌词目录");
  // Cancelled, or a choice without a file-system path; or the main window
  // went while the dialog was open.
  if (folder.empty() || !forms::MainOpen()) return;
  forms::main::文件框1().SetDirectory(folder);
  forms::main::编辑框1().SetText(folder);
}

void RefreshLyricsFolder() {
  // A path typed into 编辑框1 by hand takes effect here.
  const std::string folder = forms::main::编辑框1().Text();
  forms::main::文件框1().SetDirectory(folder);
  forms::main::编辑框1().SetText(folder);
}

}  // namespace lyrics
