// Starting a downloaded program.
#pragma once

#include <string>

namespace update {

// Starts the program file at `path` as a new process shown normally, and
// waits until it is ready for input, at most a second; false when it cannot
// start. The path is the program's name and, quoted, its whole command line,
// so a directory with a blank in its name cannot start another program.
bool StartProgram(const std::wstring& path);

}  // namespace update
