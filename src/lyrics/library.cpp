#include "lyrics/library.h"

namespace lyrics {

void ChooseLyricsFolder() {}
void RefreshLyricsFolder() {}

}  // namespace lyrics
