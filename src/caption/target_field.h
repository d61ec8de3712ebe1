// The picked field: which window it is, and writing the nickname back into it.
#pragma once

#include <windows.h>

namespace caption {

// TargetHandle, read anew from 编辑框_窗口句柄: a new pick redirects the next caption.
HWND TargetHandle();

// When 选择框1 is ticked, writes the nickname of 编辑框6 into the target field.
void RestoreNickname();

}  // namespace caption
