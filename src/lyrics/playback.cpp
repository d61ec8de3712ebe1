#include "lyrics/playback.h"

namespace lyrics {

void LoadLyricsFile() {}
void TogglePlayback() {}
void LyricsTick() {}
void JumpToLine() {}

}  // namespace lyrics
