// The local lyrics library: the folder of .lrc files shown in 文件框1.
#pragma once

namespace lyrics {

void ChooseLyricsFolder();
void RefreshLyricsFolder();

}  // namespace lyrics
