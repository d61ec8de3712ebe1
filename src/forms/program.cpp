#include "forms/program.h"

#include <windows.h>

#include <cstdlib>

#include "ui/win32.h"

namespace forms {

void EnterRunDirectory() {
  // A drive's root keeps its backslash: "C:" alone means that drive's current folder.
  std::wstring folder = ui::ModuleDirectory();
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
  SetCurrentDirectoryW(folder.c_str());
}

void EndProcess(int code) {
  std::exit(code);
}

}  // namespace forms
