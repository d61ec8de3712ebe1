// The system's folder dialog.
#pragma once

#include <string>
#include <string_view>

namespace ui {

// Asks for a folder, owned by the active window, with an edit box for typing a
// path and files shown in the tree. Returns its path (GBK), or empty when the
// user cancels or the choice has no file-system path.
std::string ChooseFolder(std::string_view title);

}  // namespace ui
