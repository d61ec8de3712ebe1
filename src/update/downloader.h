// The file downloader: fetches a file over HTTP, HTTPS or FTP on threads of
// its own, over several connections at once where the server allows. The first
// request follows up to five redirects (to any of the three, but never out of
// https); a part that fails is asked for again, three times at most, from its
// first missing byte. Every part must come from a file of the size the first
// answer named.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "update/download_parameters.h"

namespace update {

class DownloadJob;

// Starts the transfer `p` describes and returns at once; the job is made on
// its first start. False when nothing starts: no address the downloader can
// fetch (or one with a control byte), no local file, or the job's transfer
// still runs. A started transfer notifies its size (kNotifySize) once it is
// known and always ends with kNotifyEnd, unless it is stopped, whatever fails
// on the way.
bool StartDownload(std::shared_ptr<DownloadJob>& job, const DownloadParameters& p);
// Whether the job's transfer runs: it has started and not yet ended.
bool IsDownloading(const DownloadJob* job);

// Bytes of the file received so far; 0 without a job.
std::int64_t BytesReceived(const DownloadJob* job);
// Bytes the job received since the previous call; 0 without a job.
std::int64_t BytesSinceLastAsk(DownloadJob* job);
// Bytes all downloads of the process received since the previous call.
std::int64_t AllBytesSinceLastAsk();

// The file a transfer saved: where it lies (the local file's name, or the
// numbered name beside it that an existing file made the downloader pick) and
// the lowercase hex SHA-256 of the bytes it committed. Both empty when the
// transfer saved nothing.
struct SavedFile {
  std::wstring path;
  std::string sha256;
};
// What the job's last transfer saved; complete once kNotifyEnd is sent, empty
// while a transfer runs and after one that saved nothing (it failed, or was
// stopped before its file took its name).
SavedFile SavedFileOf(const DownloadJob* job);

// Ends the job's transfer: its connections are told to stop, and the transfer
// is waited for, in 20 ms steps, until it has deleted its partial file, but
// no longer than the stop grace period and half a second. A transfer stopped
// before its file took its name notifies nothing more and leaves no file; the
// name is never given after the stop. May be called from any thread, a
// notification or the check of the file included (these do not wait).
void StopDownload(DownloadJob* job);

}  // namespace update
