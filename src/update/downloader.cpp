#include "update/downloader.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "update/download_connection.h"
#include "update/download_file.h"

namespace update {

namespace {

// A socket read hands the socket this many read blocks at once. Under Wine
// every receive call is a round trip to the Wine server, and one block a call
// held the program to a fraction of the throughput (bench/RESULTS.md); on
// Windows it costs nothing either way. Each block is still at most the read
// block size.
constexpr int kBlocksPerRead = 16;
// A part smaller than this is not worth a connection of its own.
constexpr std::int64_t kSmallestPart = 64 * 1024;
constexpr int kStopStepMs = 20;

std::atomic<std::int64_t> allSinceAsk{0};
std::atomic<std::int32_t> lastJobId{0};

// A count as a notification carries it: a 32-bit value, or `tooBig`.
std::int32_t ToValue(std::int64_t n, std::int32_t tooBig) {
  return n > INT32_MAX ? tooBig : static_cast<std::int32_t>(n);
}

}  // namespace

class DownloadJob {
 public:
  const std::int32_t id = ++lastJobId;
  std::atomic<std::int64_t> received{0};
  std::atomic<std::int64_t> sinceAsk{0};
  std::atomic<bool> stopping{false};

  // A new transfer begins; false while the last one still runs.
  bool Begin(int graceMs) {
    std::lock_guard hold(lock_);
    if (running_) return false;
    running_ = true;
    graceMs_ = graceMs;
    stopping = false;
    received = 0;
    sinceAsk = 0;
    return true;
  }

  // The transfer is over; whether it was stopped.
  bool End() {
    std::lock_guard hold(lock_);
    running_ = false;
    return stopping;
  }

  // A connection about to open; false once a stop came, and it must not.
  bool Register(Connection* c) {
    std::lock_guard hold(lock_);
    if (stopping) return false;
    open_.push_back(c);
    return true;
  }

  void Unregister(Connection* c) {
    std::lock_guard hold(lock_);
    open_.erase(std::remove(open_.begin(), open_.end(), c), open_.end());
  }

  void Stop() {
    int grace = 0;
    {
      std::lock_guard hold(lock_);
      if (!running_) return;
      stopping = true;
      for (Connection* c : open_) c->Abort();
      grace = graceMs_;
    }
    // Only the connections are waited for, never a thread: the caller may be
    // one of the transfer's own threads (a notification ending the process).
    for (int waited = 0; waited < grace; waited += kStopStepMs) {
      {
        std::lock_guard hold(lock_);
        if (open_.empty()) return;
      }
      Sleep(kStopStepMs);
    }
  }

  void Count(int n) {
    received += n;
    sinceAsk += n;
    allSinceAsk += n;
  }

 private:
  std::mutex lock_;
  bool running_ = false;
  int graceMs_ = 0;
  std::vector<Connection*> open_;  // connections that have not ended
};

namespace {

struct Part {
  std::int64_t first;
  std::int64_t length;  // -1: until the server closes the connection
};

// One transfer of a job, run on a thread of its own; further connections get
// threads of their own.
class Transfer {
 public:
  Transfer(std::shared_ptr<DownloadJob> job, const DownloadParameters& p, const Source& source)
      : job_(std::move(job)),
        p_(p),
        source_(source),
        block_(p.readBlockSize > 0 ? std::min(p.readBlockSize, kMaxReadBlock) : kMaxReadBlock) {}

  void Run() {
    if (!Fetch()) file_.Discard();  // before the end is told: whoever hears it finds no trace
    if (!job_->End()) Notify(kNotifyEnd, ToValue(job_->received, INT32_MAX));
  }

 private:
  bool Fetch() {
    std::string target = p_.localFile;
    bool replace = false;
    if (FileExists(target)) {
      const std::int32_t answer = Notify(kNotifyFileExists, 0);
      if (answer == kExistingPickNewName) {
        target = FreeNumberedName(target);
        if (target.empty()) return false;
      } else if (answer == kExistingReplace) {
        replace = true;
      } else {
        return false;
      }
    }
    if (!file_.Create(target, replace)) return false;

    // The first connection asks for the whole file from its start: the answer
    // tells the size and whether the server serves parts, and the connection
    // goes on to read the first part.
    std::unique_ptr<Connection> first = NewConnection(source_);
    if (!job_->Register(first.get())) return false;
    Body body;
    bool whole = first->Open(0, -1, body);
    if (whole) {
      if (body.total >= 0) Notify(kNotifySize, ToValue(body.total, -1));
      const std::vector<Part> parts = Plan(body);
      std::vector<std::thread> helpers;
      std::vector<char> done(parts.size(), 0);
      for (std::size_t i = 1; i < parts.size(); ++i) {
        try {
          helpers.emplace_back([this, &parts, &done, i] { done[i] = FetchPart(parts[i]); });
        } catch (const std::system_error&) {
          // No thread for this part: the file cannot become whole.
        }
      }
      done[0] = ReadPart(*first, parts[0]);
      job_->Unregister(first.get());
      first.reset();
      for (std::thread& t : helpers) t.join();
      whole = std::all_of(done.begin(), done.end(), [](char ok) { return ok != 0; });
    } else {
      job_->Unregister(first.get());
    }
    // A stopped transfer keeps nothing, however far it came.
    return whole && !job_->stopping && file_.Commit();
  }

  // Equal parts, one a connection, when the server serves parts and knows the size.
  std::vector<Part> Plan(const Body& body) const {
    if (!body.ranged || body.total <= 0) return {{0, body.length}};
    const std::int64_t count =
        std::clamp<std::int64_t>(std::min<std::int64_t>(p_.connections, body.total / kSmallestPart), 1, 64);
    const std::int64_t size = body.total / count;
    std::vector<Part> parts;
    for (std::int64_t i = 0; i < count; ++i) {
      parts.push_back({i * size, i + 1 < count ? size : body.total - i * size});
    }
    return parts;
  }

  bool FetchPart(const Part& part) {
    std::unique_ptr<Connection> c = NewConnection(source_);
    if (!job_->Register(c.get())) return false;
    Body body;
    const bool ok =
        c->Open(part.first, part.first + part.length - 1, body) && body.ranged && ReadPart(*c, part);
    job_->Unregister(c.get());
    return ok;
  }

  // Reads a part into the file; true when all of it came (for a part of
  // unknown length: when the server ended it cleanly).
  bool ReadPart(Connection& c, const Part& part) {
    std::vector<char> buffer(static_cast<std::size_t>(block_) * kBlocksPerRead);
    std::int64_t at = part.first;
    std::int64_t left = part.length;
    for (;;) {
      if (left == 0) return true;
      if (job_->stopping) return false;
      auto want = static_cast<int>(buffer.size());
      if (left > 0) want = static_cast<int>(std::min<std::int64_t>(want, left));
      const int n = c.Read(buffer.data(), want, block_);
      if (n == 0) return left < 0;
      if (n < 0 || !file_.WriteAt(at, buffer.data(), n)) return false;
      at += n;
      if (left > 0) left -= n;
      job_->Count(n);
    }
  }

  std::int32_t Notify(std::int32_t kind, std::int32_t value) const {
    return p_.notify ? p_.notify(kind, job_->id, value, 0, job_->id) : 0;
  }

  const std::shared_ptr<DownloadJob> job_;
  const DownloadParameters p_;
  const Source source_;
  const int block_;
  DownloadFile file_;
};

}  // namespace

bool StartDownload(std::shared_ptr<DownloadJob>& job, const DownloadParameters& p) {
  Source source;
  if (!(p.modeFlags & kDownloadToFile) || p.localFile.empty() || !ReadSource(p, source)) return false;
  if (!job) job = std::make_shared<DownloadJob>();
  if (!job->Begin(p.stopGraceMs)) return false;
  try {
    auto transfer = std::make_shared<Transfer>(job, p, source);
    std::thread([transfer] { transfer->Run(); }).detach();
  } catch (const std::system_error&) {
    job->End();
    return false;
  }
  return true;
}

std::int64_t BytesReceived(const DownloadJob* job) {
  return job ? job->received.load() : 0;
}

std::int64_t BytesSinceLastAsk(DownloadJob* job) {
  return job ? job->sinceAsk.exchange(0) : 0;
}

std::int64_t AllBytesSinceLastAsk() {
  return allSinceAsk.exchange(0);
}

void StopDownload(DownloadJob* job) {
  if (job) job->Stop();
}

}  // namespace update
