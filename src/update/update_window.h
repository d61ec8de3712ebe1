// The update: the start-up check of the announcement page, and the update
// window, which downloads the new version with live progress, then starts it.
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

// Reads the announcement page: it may end the program, retitles the main
// window, and forces or offers the update.
void CheckAnnouncement();

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

// Starts the program file at `gbkPath` as a new process shown normally, and
// waits until it is ready for input, at most a second; false when it cannot
// start. The path is the program's name and, quoted, its whole command line,
// so a directory with a blank in its name cannot start another program.
bool StartProgram(const std::string& gbkPath);

}  // namespace update
