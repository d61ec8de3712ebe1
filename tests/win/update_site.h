// The local site as the update tests see it (started by with-update-site.sh),
// and a scratch directory for the files they download.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "net/fetch_page.h"
#include "ui/wide.h"

namespace test {

inline std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

inline std::string MakerSite() {
  return Env("LYRIMARK_SITE_MAKER");
}
inline std::string FtpSite() {
  return Env("LYRIMARK_SITE_FTP");
}

// A Unix path as Wine reaches it, through drive Z:.
inline std::string FromUnix(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return "Z:" + path;
}

inline std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The bytes the site serves as the update file.
inline const std::string& UpdateBytes() {
  static const std::string bytes = ReadAll(ui::Wide(FromUnix(Env("LYRIMARK_UPDATE_FILE"))));
  return bytes;
}

// Switches how the site serves the update file: "fault=none", "fault=slow&rate=2", ...
inline void SiteServes(const std::string& query) {
  ASSERT_EQ(net::FetchPage(MakerSite() + "/_control/update?" + query), "ok") << query;
}

// One request the site logged: a line of its JSON log, read just enough.
struct Request {
  std::string line;
  std::string Field(const std::string& name) const {
    const std::string key = "\"" + name + "\": ";
    const std::size_t at = line.find(key);
    if (at == std::string::npos) return {};
    std::size_t from = at + key.size();
    const bool quoted = line[from] == '"';
    if (quoted) ++from;
    const std::size_t to = line.find_first_of(quoted ? "\"" : ",}", from);
    return line.substr(from, to - from);
  }
  // The value of a header, "" when it was not sent.
  std::string Header(const std::string& name) const {
    const std::string key = "[\"" + name + "\", \"";
    const std::size_t at = line.find(key);
    if (at == std::string::npos) return {};
    const std::size_t from = at + key.size();
    return line.substr(from, line.find('"', from) - from);
  }
};

// The requests the site heard since the last call.
inline std::vector<Request> TakeRequests() {
  const std::string log = net::FetchPage(MakerSite() + "/_control/requests?clear=1");
  std::vector<Request> found;
  std::size_t start = 0;
  while (start < log.size()) {
    const std::size_t end = log.find('\n', start);
    found.push_back({log.substr(start, end - start)});
    start = end == std::string::npos ? log.size() : end + 1;
  }
  return found;
}

inline std::set<std::string> PeerPorts(const std::vector<Request>& requests) {
  std::set<std::string> ports;
  for (const Request& r : requests) ports.insert(r.Field("peer_port"));
  return ports;
}

// An empty directory of the test's own, removed with what it holds; its
// name starts with `name`, which may hold what GBK lacks.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(std::wstring_view name = L"lyrimark-update") {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = base + std::wstring(name) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++count_);
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~ScratchDirectory() {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        DeleteFileW((path_ + L"\\" + found.cFileName).c_str());
      } while (FindNextFileW(h, &found));
      FindClose(h);
    }
    RemoveDirectoryW(path_.c_str());
  }
  // The path of `name` (GBK) inside.
  std::wstring operator/(std::string_view name) const { return path_ + L"\\" + ui::Wide(name); }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
  static inline int count_ = 0;
};

}  // namespace test
