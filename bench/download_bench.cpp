// One timed download for download_bench.sh, which runs it under Wine beside
// curl and aria2c:
//   download_bench.exe <way> <address> <file>
// Ways: "downloader" (the program's downloader with the update window's
// settings: 5 connections, 10240-byte blocks), "socket-1" (the same socket
// connections, one block per receive call), "wininet-1" (the system's internet
// functions, one block per read, 5 connections). Prints one line:
// <seconds> <user CPU s> <kernel CPU s> <bytes>; exit code 1 when it failed.
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "caption/stopwatch.h"
#include "ui/wide.h"
#include "update/download_connection.h"
#include "update/download_file.h"
#include "update/downloader.h"

namespace {

constexpr int kConnections = 5;
constexpr int kBlock = 10240;

HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
std::int32_t endValue = -1;

std::int32_t LYRIMARK_NOTIFY_CALL Note(std::int32_t kind, std::int32_t, std::int32_t value, std::int32_t,
                                       std::int32_t) {
  if (kind == update::kNotifyEnd) {
    endValue = value;
    SetEvent(ended);
  }
  return 0;
}

update::DownloadParameters Settings(const std::string& address, const std::wstring& file) {
  update::DownloadParameters p;
  p.modeFlags = update::kDownloadToFile;
  p.address = address;
  p.localFile = file;
  p.connections = kConnections;
  p.connectTimeoutMs = 5000;
  p.sendTimeoutMs = 5000;
  p.receiveTimeoutMs = 10000;
  p.readBlockSize = kBlock;
  p.notify = Note;
  return p;
}

std::int64_t WithDownloader(const std::string& address, const std::wstring& file) {
  std::shared_ptr<update::DownloadJob> job;
  if (!update::StartDownload(job, Settings(address, file))) return -1;
  if (WaitForSingleObject(ended, 300000) != WAIT_OBJECT_0) return -1;
  return endValue;
}

// Five connections over equal parts, each read one block per call.
std::int64_t OneBlockPerRead(bool internet, const std::string& address, const std::wstring& file) {
  update::Source source;
  if (!update::ReadSource(Settings(address, file), address, source)) return -1;
  const auto open = [&] {
    return internet ? update::NewInternetConnection(source) : update::NewSocketConnection(source);
  };
  update::Body whole;
  std::string redirect;
  if (!open()->Open(0, 0, whole, redirect) || whole.total <= 0) return -1;
  update::DownloadFile out;
  if (!out.Create(file, false)) return -1;
  std::vector<std::int64_t> got(kConnections, 0);
  std::vector<std::thread> threads;
  const std::int64_t part = whole.total / kConnections;
  for (int i = 0; i < kConnections; ++i) {
    const std::int64_t first = i * part;
    const std::int64_t last = i + 1 < kConnections ? first + part - 1 : whole.total - 1;
    threads.emplace_back([&, i, first, last] {
      const auto c = open();
      update::Body body;
      std::string ignored;
      if (!c->Open(first, last, body, ignored)) return;
      std::vector<char> buffer(kBlock);
      for (std::int64_t at = first; at <= last;) {
        const int n = c->Read(buffer.data(), kBlock, kBlock);
        if (n <= 0 || !out.WriteAt(at, buffer.data(), n)) return;
        at += n;
        got[i] += n;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  std::int64_t total = 0;
  for (const std::int64_t n : got) total += n;
  return total == whole.total && out.Commit() ? total : -1;
}

double Seconds(const FILETIME& t) {
  return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: download_bench <downloader|socket-1|wininet-1> <address> <file>\n");
    return 2;
  }
  const std::string way = argv[1], address = argv[2];
  const std::wstring file = ui::Wide(argv[3]);
  FILETIME created, exited, kernel0, user0, kernel1, user1;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel0, &user0);
  const caption::Stopwatch wall;
  std::int64_t bytes = -1;
  if (way == "downloader") bytes = WithDownloader(address, file);
  if (way == "socket-1") bytes = OneBlockPerRead(false, address, file);
  if (way == "wininet-1") bytes = OneBlockPerRead(true, address, file);
  const double seconds = wall.ElapsedMs() / 1000.0;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel1, &user1);
  std::printf("%.3f %.2f %.2f %lld\n", seconds, Seconds(user1) - Seconds(user0),
              Seconds(kernel1) - Seconds(kernel0), static_cast<long long>(bytes));
  return bytes > 0 ? 0 : 1;
}
