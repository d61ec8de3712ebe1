#include "finder/finder.h"

namespace finder {

void FollowCursorTick() {}
void FinderTick() {}

}  // namespace finder
