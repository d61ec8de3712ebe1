// The file downloader against the local site: segmented HTTP with ranges, the
// fall-backs to one connection, failures that must leave no file, FTP, the
// time-outs, a stop, an existing file, and a folder named with what GBK lacks.
#include "update/downloader.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "text/convert.h"
#include "ui/wide.h"
#include "update/download_connection.h"
#include "update/signature_check.h"
#include "update/start_program.h"
#include "update_site.h"

namespace {

struct Notice {
  std::int32_t kind, job, value, reserved, sameJob;
};

// What the downloader reported, from its threads.
std::mutex noticesLock;
std::condition_variable noticed;
std::vector<Notice> notices;
std::int32_t existingAnswer = update::kExistingPickNewName;
// When set, the end notice stops its own job, as the exit routine does when
// the notice ends the process; the time that took.
update::DownloadJob* stopAtEnd = nullptr;
DWORD stopAtEndMs = 0;

std::int32_t LYRIMARK_NOTIFY_CALL Note(std::int32_t kind, std::int32_t job, std::int32_t value,
                                       std::int32_t reserved, std::int32_t sameJob) {
  if (kind == update::kNotifyEnd && stopAtEnd) {
    const DWORD start = GetTickCount();
    update::StopDownload(stopAtEnd);
    stopAtEndMs = GetTickCount() - start;
  }
  std::lock_guard hold(noticesLock);
  notices.push_back({kind, job, value, reserved, sameJob});
  noticed.notify_all();
  return kind == update::kNotifyFileExists ? existingAnswer : 0;
}

std::vector<Notice> NoticesOf(std::int32_t kind) {
  std::lock_guard hold(noticesLock);
  std::vector<Notice> found;
  for (const Notice& n : notices) {
    if (n.kind == kind) found.push_back(n);
  }
  return found;
}

// The value of the end notice, once it came (waiting at most `ms`).
std::optional<std::int32_t> WaitForEnd(int ms) {
  std::unique_lock hold(noticesLock);
  std::optional<std::int32_t> end;
  noticed.wait_for(hold, std::chrono::milliseconds(ms), [&] {
    for (const Notice& n : notices) {
      if (n.kind == update::kNotifyEnd) end = n.value;
    }
    return end.has_value();
  });
  return end;
}

void ForgetNotices() {
  std::lock_guard hold(noticesLock);
  notices.clear();
}

std::vector<test::Request> Of(const std::vector<test::Request>& requests, const std::string& method) {
  std::vector<test::Request> found;
  for (const test::Request& r : requests) {
    if (r.Field("method") == method) found.push_back(r);
  }
  return found;
}

const auto kSize = [] { return static_cast<std::int32_t>(test::UpdateBytes().size()); };

class Downloader : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(test::MakerSite().empty()) << "run with the local site (with-update-site.sh)";
    ASSERT_GT(test::UpdateBytes().size(), 0u);
    test::SiteServes("fault=none");
    test::TakeRequests();
    ForgetNotices();
    existingAnswer = update::kExistingPickNewName;
    stopAtEnd = nullptr;
  }
  void TearDown() override { update::StopDownload(job.get()); }

  // The settings the update window gives, into the scratch directory.
  update::DownloadParameters Parameters(const std::string& address) const {
    update::DownloadParameters p;
    p.modeFlags = update::kDownloadToFile;
    p.address = address;
    p.localFile = dir / "new.exe";
    p.connections = 5;
    p.connectTimeoutMs = 5000;
    p.sendTimeoutMs = 5000;
    p.receiveTimeoutMs = 10000;
    p.readBlockSize = 10240;
    p.notify = Note;
    return p;
  }
  static std::string UpdateAddress() { return test::MakerSite() + "/update/new.exe"; }

  // Starts the download and waits for its end, at most 30 s.
  std::optional<std::int32_t> Download(const update::DownloadParameters& p) {
    ForgetNotices();
    if (!update::StartDownload(job, p)) return std::nullopt;
    return WaitForEnd(30000);
  }

  test::ScratchDirectory dir;
  std::shared_ptr<update::DownloadJob> job;
};

TEST_F(Downloader, SplitsTheFileOverFiveConnectionsWithRanges) {
  ASSERT_EQ(Download(Parameters(UpdateAddress())), kSize());
  EXPECT_EQ(test::ReadAll(dir / "new.exe"), test::UpdateBytes());
  EXPECT_FALSE(test::Exists(dir / "new.exe.part"));
  EXPECT_EQ(update::BytesReceived(job.get()), kSize());

  const std::vector<Notice> sizes = NoticesOf(update::kNotifySize);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].value, kSize());
  EXPECT_NE(sizes[0].job, 0);
  EXPECT_EQ(sizes[0].sameJob, sizes[0].job);
  EXPECT_EQ(NoticesOf(update::kNotifyEnd)[0].job, sizes[0].job);

  const std::vector<test::Request> gets = Of(test::TakeRequests(), "GET");
  ASSERT_EQ(gets.size(), 5u);
  std::set<std::string> ranges;
  for (const test::Request& r : gets) ranges.insert(r.Header("Range"));
  EXPECT_EQ(ranges.size(), 5u);
  EXPECT_TRUE(ranges.count("bytes=0-")) << "the first connection asks from the start to learn the size";
  EXPECT_FALSE(ranges.count("")) << "every connection asks for a range";
  EXPECT_EQ(test::PeerPorts(gets).size(), 5u) << "five connections";
}

TEST_F(Downloader, FallsBackToOneConnectionWithoutRangesOrLength) {
  for (const std::string fault : {"no-range", "no-length"}) {
    SCOPED_TRACE(fault);
    test::SiteServes("fault=" + fault);
    test::TakeRequests();
    test::ScratchDirectory into;
    update::DownloadParameters p = Parameters(UpdateAddress());
    p.localFile = into / "new.exe";
    ASSERT_EQ(Download(p), kSize());
    EXPECT_EQ(test::ReadAll(into / "new.exe"), test::UpdateBytes());
    EXPECT_EQ(Of(test::TakeRequests(), "GET").size(), 1u);
    // Without a length there is no size to report.
    EXPECT_EQ(NoticesOf(update::kNotifySize).size(), fault == "no-range" ? 1u : 0u);
  }
}

TEST_F(Downloader, AFailedDownloadLeavesNoFileAndStillEnds) {
  // Cut after 20 KB a time, each part would need more than its retries; a
  // size no file has fails over either protocol; so do answers that leave the
  // file's end or size in doubt, and a file larger than the caller takes.
  const struct {
    std::string fault, address;
    std::int64_t largestFile = 0;
  } cases[] = {
      {"drop&after=20000", UpdateAddress()},
      {"404", UpdateAddress()},
      {"huge-size", UpdateAddress()},
      {"huge-size", test::FtpSite() + "/new.exe"},
      {"unknown-total&after=100", UpdateAddress()},  // "bytes 0-99/*" to the request for all of it
      {"two-lengths", UpdateAddress()},
      {"total-changes", UpdateAddress()},
      {"huge-total", UpdateAddress(), 256 << 20},  // 2^40 bytes named, the update's largest allowed
      {"none", UpdateAddress(), kSize() - 1},
      {"no-length", UpdateAddress(), kSize() - 1},  // a body that grows past the largest
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address + " " + c.fault);
    test::SiteServes("fault=" + c.fault);
    update::DownloadParameters p = Parameters(c.address);
    p.largestFile = c.largestFile;
    const std::optional<std::int32_t> end = Download(p);
    ASSERT_TRUE(end.has_value()) << "the end is reported however the transfer went";
    EXPECT_LT(*end, kSize());
    EXPECT_FALSE(test::Exists(dir / "new.exe")) << "nothing under the name that gets started";
    EXPECT_FALSE(test::Exists(dir / "new.exe.part"));
    EXPECT_EQ(update::SavedFileOf(job.get()).path, L"");
  }
}

TEST_F(Downloader, FollowsUpToFiveRedirectsToHttpOrFtp) {
  const std::string redirect = test::MakerSite() + "/test/redirect?";
  const struct {
    std::string address;
    bool completes;
  } cases[] = {
      {redirect + "n=5&code=301&to=/update/new.exe", true},  // the last one relative
      {redirect + "code=308&to=" + UpdateAddress(), true},
      {redirect + "n=2&code=307&to=" + test::FtpSite() + "/new.exe", true},
      {redirect + "n=6&code=302&to=/update/new.exe", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    test::ScratchDirectory into;
    update::DownloadParameters p = Parameters(c.address);
    p.localFile = into / "new.exe";
    const std::optional<std::int32_t> end = Download(p);
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(*end == kSize(), c.completes);
    EXPECT_TRUE(test::ReadAll(into / "new.exe") == (c.completes ? test::UpdateBytes() : ""));
  }
  // Where the first request ended up is where every part comes from.
  test::TakeRequests();
  ASSERT_EQ(Download(Parameters(test::MakerSite() + "/test/redirect?n=2&to=/update/new.exe")), kSize());
  std::vector<test::Request> gets = Of(test::TakeRequests(), "GET");
  EXPECT_EQ(gets.size(), 7u) << "two redirects and five parts";
}

// A redirect may lead anywhere the downloader goes, but never out of https,
// and never with a byte that could end a request line.
TEST(ReadRedirect, NeverLeavesHttpsNorTakesAControlByte) {
  const update::DownloadParameters p;
  const struct {
    const char *from, *location, *to;  // to: nullptr when refused
  } cases[] = {
      {"https://a.example/u/x.exe", "https://b.example/y.exe", "https://b.example/y.exe"},
      {"https://a.example/u/x.exe", "y.exe", "https://a.example/u/y.exe"},
      {"https://a.example/u/x.exe", "http://a.example/u/x.exe", nullptr},
      {"https://a.example/u/x.exe", "ftp://a.example/u/x.exe", nullptr},
      {"http://a.example/u/x.exe", "https://a.example/u/x.exe", "https://a.example/u/x.exe"},
      {"http://a.example/u/x.exe", "ftp://a.example/u/x.exe", "ftp://a.example/u/x.exe"},
      {"http://a.example/u/x.exe", "/y.exe\r\nX-Injected: 1", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " -> " + c.location);
    update::Source from, to;
    ASSERT_TRUE(update::ReadSource(p, c.from, from));
    ASSERT_EQ(update::ReadRedirect(p, from, c.location, to), c.to != nullptr);
    if (c.to) {
      EXPECT_EQ(to.address, c.to);
    }
  }
}

// A part cut by a reset is asked for again from its first missing byte, three
// times at most; one more cut fails the download.
TEST_F(Downloader, RetriesACutPartFromItsLastByte) {
  const std::int64_t part = kSize() / 5, third = 2 * part;  // the part that holds byte 500000
  for (const int cuts : {2, 3, 4}) {
    SCOPED_TRACE(cuts);
    test::SiteServes("fault=kill&at=500000&after=20000&times=" + std::to_string(cuts));
    test::TakeRequests();
    test::ScratchDirectory into;
    update::DownloadParameters p = Parameters(UpdateAddress());
    p.localFile = into / "new.exe";
    const std::optional<std::int32_t> end = Download(p);
    ASSERT_TRUE(end.has_value());
    EXPECT_TRUE(test::ReadAll(into / "new.exe") == (cuts <= 3 ? test::UpdateBytes() : ""));
    std::vector<std::string> asked, expected;
    for (const test::Request& r : Of(test::TakeRequests(), "GET")) {
      const std::string range = r.Header("Range");
      const std::int64_t from = std::stoll(range.substr(6));
      if (from >= third && from < third + part) asked.push_back(range);
    }
    for (int attempt = 0; attempt <= std::min(cuts, 3); ++attempt) {
      expected.push_back("bytes=" + std::to_string(third + 20000 * attempt) + "-" +
                         std::to_string(third + part - 1));
    }
    EXPECT_EQ(asked, expected);
    if (cuts <= 3) {
      EXPECT_EQ(update::BytesReceived(job.get()), kSize()) << "no byte counted twice";
    }
  }
}

// Only an orderly close ends a body without a length: a reset cuts it.
TEST_F(Downloader, AResetBodyWithoutLengthIsNoFile) {
  test::SiteServes("fault=reset&after=300000");
  const std::optional<std::int32_t> end = Download(Parameters(UpdateAddress()));
  ASSERT_TRUE(end.has_value());
  EXPECT_LT(*end, kSize());
  EXPECT_FALSE(test::Exists(dir / "new.exe"));
  EXPECT_FALSE(test::Exists(dir / "new.exe.part"));
}

TEST_F(Downloader, ALaterPartAnsweredWithTheWholeFileFallsBackToOneConnection) {
  test::SiteServes("fault=start-range-only");
  ASSERT_EQ(Download(Parameters(UpdateAddress())), kSize());
  EXPECT_EQ(test::ReadAll(dir / "new.exe"), test::UpdateBytes());
  EXPECT_EQ(update::BytesReceived(job.get()), kSize());
}

TEST_F(Downloader, FetchesOverFtpAnonymouslyOnOneConnection) {
  update::DownloadParameters p = Parameters(test::FtpSite() + "/new.exe");
  p.ftpUser.clear();
  p.ftpPassword.clear();
  ASSERT_EQ(Download(p), kSize());
  EXPECT_EQ(test::ReadAll(dir / "new.exe"), test::UpdateBytes());
  ASSERT_EQ(NoticesOf(update::kNotifySize).size(), 1u);
  EXPECT_EQ(NoticesOf(update::kNotifySize)[0].value, kSize());

  const std::vector<test::Request> log = test::TakeRequests();
  ASSERT_EQ(Of(log, "USER").size(), 1u);
  EXPECT_EQ(Of(log, "USER")[0].Field("path"), "anonymous");
  EXPECT_EQ(Of(log, "PASS")[0].Field("path"), update::DownloadParameters{}.ftpPassword);
  EXPECT_EQ(Of(log, "RETR").size(), 1u);
}

TEST_F(Downloader, GivesUpWhenTheServerIsSilentLongerThanTheReceiveTimeOut) {
  test::SiteServes("fault=slow&rate=2");  // a byte every half second
  update::DownloadParameters p = Parameters(UpdateAddress());
  p.receiveTimeoutMs = 200;
  const DWORD start = GetTickCount();
  const std::optional<std::int32_t> end = Download(p);
  ASSERT_TRUE(end.has_value());
  EXPECT_LT(GetTickCount() - start, 5000u);
  EXPECT_LT(*end, kSize());
  EXPECT_FALSE(test::Exists(dir / "new.exe"));

  // With a time-out longer than the gaps the same trickle goes on.
  p.receiveTimeoutMs = 2000;
  ForgetNotices();
  ASSERT_TRUE(update::StartDownload(job, p));
  EXPECT_FALSE(WaitForEnd(2500).has_value());
  EXPECT_GT(update::BytesReceived(job.get()), 0);
}

TEST_F(Downloader, AStopEndsTheConnectionsAtOnceAndKeepsNothing) {
  test::SiteServes("fault=slow&rate=2");
  update::DownloadParameters p = Parameters(UpdateAddress());
  p.stopGraceMs = 5000;
  ASSERT_TRUE(update::StartDownload(job, p));
  for (int i = 0; i < 250 && update::BytesReceived(job.get()) == 0; ++i) Sleep(20);
  ASSERT_GT(update::BytesReceived(job.get()), 0);

  const DWORD start = GetTickCount();
  update::StopDownload(job.get());
  // Connections waiting for data end when told to, long before the grace period is out.
  EXPECT_LT(GetTickCount() - start, 3000u);
  EXPECT_FALSE(test::Exists(dir / "new.exe.part")) << "gone when the stop returns: the process may end next";
  EXPECT_FALSE(WaitForEnd(1000).has_value()) << "a stopped download reports no end";
  EXPECT_FALSE(test::Exists(dir / "new.exe"));
}

// The check of the whole file (a signature) runs on the transfer's thread
// before the file takes its name: a stop meanwhile keeps nothing, and a check
// that throws still ends the transfer.
TEST_F(Downloader, TheCheckOfTheFileNeitherOutlivesAStopNorSwallowsTheEnd) {
  const HANDLE checking = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  update::DownloadParameters p = Parameters(UpdateAddress());
  p.acceptFile = [checking](std::string_view) {
    SetEvent(checking);
    Sleep(300);
    return true;
  };
  ASSERT_TRUE(update::StartDownload(job, p));
  ASSERT_EQ(WaitForSingleObject(checking, 30000), WAIT_OBJECT_0);
  update::StopDownload(job.get());
  EXPECT_FALSE(test::Exists(dir / "new.exe"));
  EXPECT_FALSE(test::Exists(dir / "new.exe.part"));
  EXPECT_FALSE(WaitForEnd(500).has_value());
  EXPECT_EQ(update::SavedFileOf(job.get()).path, L"");
  CloseHandle(checking);

  p.acceptFile = [](std::string_view) -> bool { throw std::runtime_error("no check"); };
  ASSERT_TRUE(Download(p).has_value());
  EXPECT_FALSE(test::Exists(dir / "new.exe"));
  EXPECT_FALSE(test::Exists(dir / "new.exe.part"));
  p.acceptFile = nullptr;
  EXPECT_EQ(Download(p), kSize()) << "the job is free for another transfer";
}

// The end notice may end the process, whose exit routine stops the download
// from that same notice: the stop must not wait for the notifying thread.
TEST_F(Downloader, AStopFromTheEndNoticeReturnsAtOnce) {
  ASSERT_TRUE(update::StartDownload(job, Parameters(UpdateAddress())));
  stopAtEnd = job.get();
  ASSERT_TRUE(WaitForEnd(30000).has_value());
  EXPECT_LT(stopAtEndMs, 500u);
}

TEST_F(Downloader, AnExistingFileIsAskedAboutAndKeptUnlessTheAnswerReplacesIt) {
  const std::wstring target = dir / "new.exe";
  std::ofstream(target.c_str(), std::ios::binary) << "old";

  existingAnswer = update::kExistingPickNewName;
  ASSERT_EQ(Download(Parameters(UpdateAddress())), kSize());
  EXPECT_EQ(NoticesOf(update::kNotifyFileExists).size(), 1u);
  EXPECT_EQ(test::ReadAll(target), "old");
  EXPECT_EQ(test::ReadAll(dir / "new(1).exe"), test::UpdateBytes());
  // What was saved is told by its name and its hash, for the update to start that file alone.
  const update::SavedFile saved = update::SavedFileOf(job.get());
  EXPECT_EQ(saved.path, dir / "new(1).exe");
  const HANDLE file = CreateFileW(saved.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_EQ(saved.sha256, update::FileSha256(file));
  CloseHandle(file);
  EXPECT_EQ(saved.sha256.size(), 64u);

  existingAnswer = update::kExistingReplace;
  ASSERT_EQ(Download(Parameters(UpdateAddress())), kSize());
  EXPECT_EQ(test::ReadAll(target), test::UpdateBytes());
  EXPECT_EQ(update::SavedFileOf(job.get()).path, target);

  existingAnswer = 7;  // neither: leave the file alone and fetch nothing
  std::ofstream(target.c_str(), std::ios::binary) << "old";
  test::TakeRequests();
  ASSERT_EQ(Download(Parameters(UpdateAddress())), 0);
  EXPECT_EQ(test::ReadAll(target), "old");
  EXPECT_TRUE(Of(test::TakeRequests(), "GET").empty());
  EXPECT_EQ(update::SavedFileOf(job.get()).path, L"");
}

// The update is saved beside the program, whose folder's name may hold what
// GBK lacks: the file lies there by its real path, and is named so.
TEST_F(Downloader, SavesIntoAFolderNamedOutsideGbk) {
  const test::ScratchDirectory into(L"lyrimark-更新-한국");
  update::DownloadParameters p = Parameters(UpdateAddress());
  p.localFile = into / "新版.exe";
  std::ofstream(p.localFile.c_str(), std::ios::binary) << "old";
  ASSERT_EQ(Download(p), kSize());
  EXPECT_EQ(test::ReadAll(into / "新版(1).exe"), test::UpdateBytes());
  EXPECT_EQ(update::SavedFileOf(job.get()).path, into / "新版(1).exe");
  EXPECT_FALSE(test::Exists(into / "新版(1).exe.part"));
}

TEST_F(Downloader, GivesUpAfterNinetyNineTakenNames) {
  for (int n = 0; n <= 99; ++n) {
    std::ofstream((dir / (n ? "new(" + std::to_string(n) + ").exe" : "new.exe")).c_str(), std::ios::binary)
        << "old";
  }
  ASSERT_EQ(Download(Parameters(UpdateAddress())), 0);
  EXPECT_FALSE(test::Exists(dir / "new(100).exe"));
  EXPECT_TRUE(Of(test::TakeRequests(), "GET").empty());
}

TEST_F(Downloader, RefusesToStartWhatItCannotFetch) {
  // A control byte could end the request line or the FTP command and start another.
  for (const std::string& address :
       {std::string(), std::string("gopher://127.0.0.1/x"), std::string("not an address"),
        std::string("http:///no-host"), UpdateAddress() + "\r\nX-Injected: 1", UpdateAddress() + "\x7f",
        test::FtpSite() + "/new.exe\nDELE new.exe", test::FtpSite() + "/new\t.exe"}) {
    SCOPED_TRACE(address);
    EXPECT_FALSE(update::StartDownload(job, Parameters(address)));
  }
  update::DownloadParameters toMemory = Parameters(UpdateAddress());
  toMemory.modeFlags = 1;
  EXPECT_FALSE(update::StartDownload(job, toMemory));
  EXPECT_FALSE(WaitForEnd(500).has_value()) << "what never started never ends";
  EXPECT_EQ(update::BytesReceived(nullptr), 0);
  EXPECT_EQ(update::BytesSinceLastAsk(nullptr), 0);
}

// HTTPS goes through the system's internet functions; no TLS server stands
// here, so their range handling is checked over plain HTTP.
TEST_F(Downloader, TheInternetConnectionReadsTheRangeItAsksFor) {
  update::Source source;
  ASSERT_TRUE(update::ReadSource(Parameters(UpdateAddress()), UpdateAddress(), source));
  const std::unique_ptr<update::Connection> c = update::NewInternetConnection(source);
  update::Body body;
  std::string redirect;
  ASSERT_TRUE(c->Open(1000, 30999, body, redirect));
  EXPECT_TRUE(body.ranged);
  EXPECT_EQ(body.first, 1000);
  EXPECT_EQ(body.length, 30000);
  EXPECT_EQ(body.total, kSize());
  std::string got;
  char buffer[10240];
  for (int n; (n = c->Read(buffer, sizeof buffer, 4096)) > 0;) {
    EXPECT_LE(n, 4096) << "one read block at a time";
    got.append(buffer, static_cast<std::size_t>(n));
  }
  EXPECT_EQ(got, test::UpdateBytes().substr(1000, 30000));
}

TEST(StartProgram, StartsThePathItselfThoughItsDirectoryHasABlankOrWhatGbkLacks) {
  // "<dir>\with blank\new.exe" given whole as a command line would first try
  // "<dir>\with.exe": a decoy stands there. The directory's name holds what
  // GBK lacks, as the program's own folder may.
  const test::ScratchDirectory dir(L"lyrimark-更新・テスト");
  std::string built = LYRIMARK_NEW_VERSION_EXE;
  if (built[0] == '/') built = test::FromUnix(built);
  const std::wstring folder = dir / "with blank";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring program = folder + L"\\new.exe";
  ASSERT_TRUE(CopyFileW(ui::Wide(built).c_str(), program.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(ui::Wide(built).c_str(), (dir / "with.exe").c_str(), FALSE));

  ASSERT_TRUE(update::StartProgram(program));
  const std::wstring marker = program + L".started";
  for (int i = 0; i < 250 && !test::Exists(marker); ++i) Sleep(20);
  const std::wstring quoted = L"\"" + program + L"\"";
  EXPECT_EQ(test::ReadAll(marker), text::Utf16ToUtf8(std::u16string(quoted.begin(), quoted.end())));
  EXPECT_FALSE(test::Exists(dir / "with.exe.started"));
  EXPECT_FALSE(update::StartProgram(dir / "missing.exe"));

  DeleteFileW(marker.c_str());
  DeleteFileW(program.c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
