// TargetHandle as text: the picked window's handle in decimal, as the hidden
// edit box 编辑框_窗口句柄 keeps it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace finder {

// The handle a text names: read as a number with any fraction dropped; empty or
// non-numeric text gives 0. Handles are 32-bit values on every Windows.
std::int32_t ReadTargetHandle(std::string_view text);

// The text the finder writes for a handle.
std::string WriteTargetHandle(std::int32_t handle);

}  // namespace finder
