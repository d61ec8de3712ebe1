// The program as a process: the folder it runs from and its end.
#pragma once

namespace forms {

// Makes the directory that holds the program file (ui::ModuleDirectory()) the
// current directory, whatever folder the program was started from (a
// shortcut's "Start in", a shell elsewhere): the file list shows the current
// directory and the update is saved there.
void EnterRunDirectory();

// Ends the process with `code`; the exit routine runs.
[[noreturn]] void EndProcess(int code);

}  // namespace forms
