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

#include "ui/guard.h"
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
// A stop waits this long past the grace period for the transfer to delete its
// partial file once its connections ended.
constexpr int kStopSlackMs = 500;

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
    thread_ = {};
    stopping = false;
    received = 0;
    sinceAsk = 0;
    saved_ = {};
    return true;
  }

  SavedFile Saved() const {
    std::lock_guard hold(lock_);
    return saved_;
  }

  // The transfer runs on the calling thread.
  void RunsHere() {
    std::lock_guard hold(lock_);
    thread_ = std::this_thread::get_id();
  }

  // Gives the transfer's file its name unless a stop came: the two exclude
  // each other, so a stop either finds the file saved or keeps it from being.
  bool Commit(DownloadFile& file, SavedFile saved) {
    std::lock_guard hold(lock_);
    if (stopping || !file.Commit()) return false;
    saved_ = std::move(saved);
    return true;
  }

  bool Running() const {
    std::lock_guard hold(lock_);
    return running_;
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
    int wait = 0;
    {
      std::lock_guard hold(lock_);
      if (!running_) return;
      stopping = true;
      for (Connection* c : open_) c->Abort();
      // A stop from the transfer's own thread (a notification, the check of
      // the file) cannot wait for it; the transfer ends as soon as it returns.
      if (thread_ == std::this_thread::get_id()) return;
      wait = graceMs_ + kStopSlackMs;
    }
    // Until the transfer is over and its partial file gone, for a bounded
    // time: the caller may be ending the process.
    for (int waited = 0; waited < wait; waited += kStopStepMs) {
      {
        std::lock_guard hold(lock_);
        if (!running_) return;
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
  mutable std::mutex lock_;
  bool running_ = false;
  int graceMs_ = 0;
  std::vector<Connection*> open_;  // connections that have not ended
  std::thread::id thread_;         // the transfer's, once it runs
  SavedFile saved_;
};

namespace {

// A failed part is asked for again this many times, from its first missing
// byte, after a pause that grows by this much each time: a server that just
// dropped connections gets a moment.
constexpr int kRetries = 3;
constexpr int kRetryPauseMs = 250;
// Redirects followed for one file, the most browsers take too.
constexpr int kMostRedirects = 5;

struct Part {
  std::int64_t first;
  std::int64_t length;  // -1: until the server closes the connection
};

// A connection the job's stop can reach; the job forgets it as it closes,
// however the transfer leaves it.
struct Forget {
  DownloadJob* job = nullptr;
  void operator()(Connection* c) const {
    job->Unregister(c);
    delete c;
  }
};
using OpenConnection = std::unique_ptr<Connection, Forget>;

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
    job_->RunsHere();
    // Whatever goes wrong on the way (a check that throws, memory that runs
    // out), the end is told: the update waits for it.
    bool saved = false;
    ui::Guarded([&] { saved = Fetch(); });
    if (!saved) file_.Discard();  // before the end is told: whoever hears it finds no trace
    if (!job_->End()) Notify(kNotifyEnd, ToValue(job_->received, INT32_MAX));
  }

 private:
  bool Fetch() {
    std::wstring target = p_.localFile;
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
    Body body;
    OpenConnection first;
    for (int attempt = 0; !first; ++attempt) {
      if (attempt > kRetries || !PauseBefore(attempt)) return false;
      first = Open(0, -1, body, true);
    }
    // The first answer speaks for the file: every later part must be of a file
    // of its size, and a file larger than the caller takes fails before a byte
    // of it is written (a hostile size would have the parts write far out).
    total_ = body.total;
    if (TooLarge(body.total) || TooLarge(body.length)) return false;
    if (body.total >= 0) Notify(kNotifySize, ToValue(body.total, -1));
    const std::vector<Part> parts = Plan(body);
    bool whole = FetchParts(parts, std::move(first), body);
    if (!whole && parts.size() > 1 && rangesIgnored_ && !job_->stopping) {
      // A server that answered a later part with the whole file serves no
      // parts after all: the file comes over one connection, from its start.
      job_->received = 0;
      whole = FetchPart({0, body.total}, nullptr, body);
    }
    // A stopped transfer keeps nothing, however far it came; nor does one
    // stopped while its file was checked.
    if (!whole || job_->stopping) return false;
    const std::string sha256 = file_.Sha256();
    if (sha256.empty() || (p_.acceptFile && !p_.acceptFile(sha256))) return false;
    return job_->Commit(file_, {target, sha256});
  }

  // Each part on a connection of its own, the first on the one already open.
  bool FetchParts(const std::vector<Part>& parts, OpenConnection first, const Body& body) {
    std::vector<std::thread> helpers;
    helpers.reserve(parts.size());  // a vector that grew could throw with threads in it
    std::vector<char> done(parts.size(), 0);
    for (std::size_t i = 1; i < parts.size(); ++i) {
      try {
        helpers.emplace_back(
            [this, &parts, &done, i] { ui::Guarded([&] { done[i] = FetchPart(parts[i], nullptr, {}); }); });
      } catch (const std::system_error&) {
        // No thread for this part: the file cannot become whole.
      }
    }
    // Guarded as the helpers' parts are: the helpers must be joined whatever happens.
    ui::Guarded([&] { done[0] = FetchPart(parts[0], std::move(first), body); });
    for (std::thread& t : helpers) t.join();
    return std::all_of(done.begin(), done.end(), [](char ok) { return ok != 0; });
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

  // A connection that delivers the bytes from `at` (to `last`, or to the
  // end); nullptr when none does. Only the first request of the file follows
  // redirects, and where it ends up is where every part comes from.
  OpenConnection Open(std::int64_t at, std::int64_t last, Body& body, bool follow) {
    for (;;) {
      OpenConnection c(NewConnection(source_).release(), Forget{job_.get()});
      if (!job_->Register(c.get())) return nullptr;
      std::string redirect;
      if (c->Open(at, last, body, redirect)) return c;
      c.reset();
      if (!follow || redirect.empty() || redirects_ == kMostRedirects) return nullptr;
      ++redirects_;
      if (!ReadRedirect(p_, source_, redirect, source_)) return nullptr;
    }
  }

  // Waits before attempt number `attempt` (0: the first, at once); false when a stop came.
  bool PauseBefore(int attempt) const {
    for (int waited = 0; waited < attempt * kRetryPauseMs && !job_->stopping; waited += kStopStepMs) {
      Sleep(kStopStepMs);
    }
    return !job_->stopping;
  }

  // Beyond the largest file the caller takes.
  bool TooLarge(std::int64_t bytes) const { return p_.largestFile > 0 && bytes > p_.largestFile; }

  // Reads a part into the file, on `c` (which delivers `body`) or else on a
  // new connection; a failed attempt is made again on a new connection from
  // the first byte still missing, kRetries times. True when all of the part
  // came (for a part of unknown length: when the server ended it cleanly).
  bool FetchPart(const Part& part, OpenConnection c, Body body) {
    std::int64_t at = part.first;
    std::int64_t end = part.length < 0 ? -1 : part.first + part.length;
    for (int attempt = 0;; ++attempt) {
      if (!c && PauseBefore(attempt)) {
        c = Open(at, end < 0 ? -1 : end - 1, body, false);
        if (c && body.first != at) {
          // The whole file again instead of the part asked for.
          rangesIgnored_ = true;
          return false;
        }
        if (c && total_ >= 0 && body.total != total_) {
          // A part of another file, or of one the server no longer knows.
          refused_ = true;
          return false;
        }
      }
      if (c) {
        if (end < 0 && body.length >= 0) end = at + body.length;
        const bool done = ReadPart(*c, at, end);
        c.reset();
        if (done) return true;
      }
      if (attempt == kRetries || job_->stopping || refused_) return false;
    }
  }

  // Reads from `at` to `end` (-1: until the server closes the connection),
  // moving `at` past every byte written.
  bool ReadPart(Connection& c, std::int64_t& at, std::int64_t end) {
    std::vector<char> buffer(static_cast<std::size_t>(block_) * kBlocksPerRead);
    for (;;) {
      if (at == end) return true;
      if (job_->stopping) return false;
      auto want = static_cast<int>(buffer.size());
      if (end >= 0) want = static_cast<int>(std::min<std::int64_t>(want, end - at));
      const int n = c.Read(buffer.data(), want, block_);
      // Only an orderly close ends a body of unknown length; a reset or an
      // error cuts it, and a cut file must never be started.
      if (n == 0) return end < 0;
      if (n < 0) return false;
      if (TooLarge(at + n)) {
        refused_ = true;  // a body of unknown length that outgrew what the caller takes
        return false;
      }
      if (!file_.WriteAt(at, buffer.data(), n)) return false;
      at += n;
      job_->Count(n);
    }
  }

  std::int32_t Notify(std::int32_t kind, std::int32_t value) const {
    return p_.notify ? p_.notify(kind, job_->id, value, 0, job_->id) : 0;
  }

  const std::shared_ptr<DownloadJob> job_;
  const DownloadParameters p_;
  // Change only while the first request follows redirects, before the parts begin.
  Source source_;
  int redirects_ = 0;  // followed so far, over every attempt of the first request
  const int block_;
  DownloadFile file_;
  std::int64_t total_ = -1;  // the file's size as the first answer named it; set before the parts begin
  std::atomic<bool> rangesIgnored_{false};
  // The server's answers cannot make the file: no part is asked for again.
  std::atomic<bool> refused_{false};
};

}  // namespace

bool StartDownload(std::shared_ptr<DownloadJob>& job, const DownloadParameters& p) {
  Source source;
  if (!(p.modeFlags & kDownloadToFile) || p.localFile.empty() || !ReadSource(p, p.address, source))
    return false;
  if (!job) job = std::make_shared<DownloadJob>();
  if (!job->Begin(p.stopGraceMs)) return false;
  try {
    auto transfer = std::make_shared<Transfer>(job, p, source);
    std::thread([transfer] { ui::Guarded([&] { transfer->Run(); }); }).detach();
  } catch (const std::system_error&) {
    job->End();
    return false;
  }
  return true;
}

bool IsDownloading(const DownloadJob* job) {
  return job && job->Running();
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

SavedFile SavedFileOf(const DownloadJob* job) {
  return job ? job->Saved() : SavedFile{};
}

void StopDownload(DownloadJob* job) {
  if (job) job->Stop();
}

}  // namespace update
