// The update window: downloads the new version with live progress, then starts it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "update/announcement.h"
#include "update/download_parameters.h"
#include "update/progress_text.h"

namespace update {

class DownloadJob;

// Everything but the atomics belongs to the user-interface thread alone.
struct UpdateState {
  // What the announcement page says of the new version: where it comes from,
  // the name it is saved and started under, and for a signed update its
  // version and signature.
  UpdateSource source;
  // Written by the downloader's thread, read by the progress tick.
  std::atomic<double> totalSize{0.0};
  // Set by the downloader's thread when the downloaded file failed its check.
  std::atomic<bool> refused{false};
  ElapsedClock elapsed;
  std::shared_ptr<DownloadJob> downloadJob;
  DownloadParameters downloadParameters;
};

// The one update of the program.
UpdateState& State();

// The update window exists: closes the main window, reads where the new
// version comes from, and begins the download.
void StartUpdate();
// Starts the download and the progress tick.
void BeginDownload();
// Once a second: progress, speed, amount, elapsed and remaining time.
void ProgressTick();

// For the exit routine: stops the download if there is one.
void StopUpdateDownload();

}  // namespace update
