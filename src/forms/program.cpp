#include "forms/program.h"

#include <windows.h>

#include <cstdlib>

#include "ui/wide.h"

namespace forms {

namespace {

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  path.resize(path.find_last_of(L"\\/") == std::wstring::npos ? 0 : path.find_last_of(L"\\/"));
  return path;
}

}  // namespace

std::string RunDirectory() {
  return ui::Narrow(ProgramFolder());
}

void EnterRunDirectory() {
  // A drive's root keeps its backslash: "C:" alone means that drive's current folder.
  std::wstring folder = ProgramFolder();
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
  SetCurrentDirectoryW(folder.c_str());
}

void EndProcess(int code) {
  std::exit(code);
}

}  // namespace forms
