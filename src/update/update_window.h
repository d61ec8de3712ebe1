// The update window: download the new version with live progress, then start it.
#pragma once

namespace update {

void StartUpdate();
void BeginDownload();
void ProgressTick();

}  // namespace update
