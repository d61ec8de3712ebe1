#include "ui/folder_dialog.h"

#include <windows.h>

#include <shlobj.h>

#include "ui/wide.h"

namespace ui {

std::wstring ChooseFolder(std::string_view title) {
  const std::wstring titleW = Wide(title);
  BROWSEINFOW info{};
  info.hwndOwner = GetActiveWindow();
  info.lpszTitle = titleW.c_str();
  info.ulFlags = BIF_EDITBOX | BIF_BROWSEINCLUDEFILES;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return {};
  wchar_t path[MAX_PATH] = {};
  const bool hasPath = SHGetPathFromIDListW(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  return hasPath ? std::wstring(path) : std::wstring();
}

}  // namespace ui
