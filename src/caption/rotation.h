// The single-line scroller's step.
#pragma once

#include <string>
#include <string_view>

namespace caption {

// The text trimmed of blanks (space, full-width space) and turned by one
// character: the first character moves to the end. Only a first-level GB2312
// character (lead B0..D7, trail A1..FE) moves as two bytes; any other byte moves
// alone. Texts of one character or none come back trimmed but unturned.
std::string RotateText(std::string_view text);

}  // namespace caption
