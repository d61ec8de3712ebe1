// The advert page's two caption modes, the single-line scroller and the advert
// board, and the nickname the field gets back when captions stop.
#pragma once

namespace caption {

void ToggleScroller();
void ToggleAdvertBoard();
void AddAdvertLine();
void DeleteAdvertLine();
// When 选择框1 is ticked, writes the nickname of 编辑框6 into the target field.
void RestoreNickname();

}  // namespace caption
