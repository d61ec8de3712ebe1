// The advert page's two caption modes: the single-line scroller and the advert board.
#pragma once

namespace caption {

void RotateCaption();
void ToggleScroller();
void ToggleAdvertBoard();
void AddAdvertLine();
void DeleteAdvertLine();

}  // namespace caption
