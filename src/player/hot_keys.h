// The global hot keys of following: lyrics earlier, lyrics later, following on
// or off, pressed from any program (the user is in the music player). Each
// fires the HotKey event of the unit it stands for.
#pragma once

namespace player {

// Registers them with the main window and lists them in 标签_热键, naming the
// combinations another program has taken; the rest work. They are given back
// when the main window goes.
void RegisterHotKeys();

}  // namespace player
