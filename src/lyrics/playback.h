// Loading a lyrics file and playing its lines into the target field.
#pragma once

namespace lyrics {

void LoadLyricsFile();
void TogglePlayback();
void LyricsTick();
void JumpToLine();

}  // namespace lyrics
