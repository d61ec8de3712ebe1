#include "update/update_window.h"

namespace update {

void StartUpdate() {}
void BeginDownload() {}
void ProgressTick() {}

}  // namespace update
