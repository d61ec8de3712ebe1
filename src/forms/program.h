// The program as a process: the folder it runs from and its end, and what a
// handler meets when it reaches for a window that is gone.
#pragma once

#include <stdexcept>
#include <string>

namespace forms {

// A handler reached for a unit of a window that is gone. Handlers look again
// after every wait; one that did not fails here as an operation, at the
// toolkit's guard, instead of ending the program.
struct WindowGone : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The directory that holds the program file (GBK), without a trailing backslash.
std::string RunDirectory();
// Makes the run directory the current directory, whatever folder the program
// was started from (a shortcut's "Start in", a shell elsewhere): the file list
// shows the current directory and the update is saved there.
void EnterRunDirectory();

// Ends the process with `code`; the exit routine runs.
[[noreturn]] void EndProcess(int code);

}  // namespace forms
