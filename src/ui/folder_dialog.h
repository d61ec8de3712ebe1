// The system's folder dialog.
#pragma once

#include <string>
#include <string_view>

namespace ui {

// Asks for a folder, owned by the active window, with an edit box for typing a
// path and files shown in the tree. Returns its real path (UTF-16: it may hold
// what GBK lacks), or empty when the user cancels or the choice has no
// file-system path.
std::wstring ChooseFolder(std::string_view title);

}  // namespace ui
