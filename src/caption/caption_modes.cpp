#include "caption/caption_modes.h"

namespace caption {

void RotateCaption() {}
void ToggleScroller() {}
void ToggleAdvertBoard() {}
void AddAdvertLine() {}
void DeleteAdvertLine() {}

}  // namespace caption
