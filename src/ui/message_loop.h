// The program's message loop.
#pragma once

namespace ui {

// Runs until the quit message; returns its exit code.
int RunMessageLoop();

}  // namespace ui
