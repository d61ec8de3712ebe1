// The settings record the file downloader takes for a transfer, with the
// values every field has when the program starts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Notifications use the standard Win32 calling convention, so the record can
// carry a procedure written for any downloader client.
#ifdef _WIN32
#define LYRIMARK_NOTIFY_CALL __stdcall
#else
#define LYRIMARK_NOTIFY_CALL
#endif

namespace update {

// The downloader's notification: (kind, job, value, 0, job). Its result
// answers the downloader's questions (kind 18).
using DownloadNotify = std::int32_t(LYRIMARK_NOTIFY_CALL*)(std::int32_t kind, std::int32_t job,
                                                           std::int32_t value, std::int32_t reserved,
                                                           std::int32_t sameJob);

// Notification kinds.
constexpr std::int32_t kNotifySize = 3;         // value: the file's size (-1 beyond 32 bits)
constexpr std::int32_t kNotifyEnd = 4;          // value: bytes transferred; the job is over
constexpr std::int32_t kNotifyFileExists = 18;  // the local file exists; answer below

// Answers to kNotifyFileExists.
constexpr std::int32_t kExistingPickNewName = 0;  // save as "name(1).ext" ... "name(99).ext"
constexpr std::int32_t kExistingReplace = 1;      // anything else: leave the file, download nothing

// Mode flag: the transfer goes into the local file (the only mode there is).
constexpr std::int32_t kDownloadToFile = 0x1000;

// FTP transfer modes.
constexpr std::int32_t kFtpBinary = 1;
constexpr std::int32_t kFtpAscii = 2;
constexpr std::int32_t kFtpByFileType = 3;  // binary for the extensions of ftpFileTypes, else ASCII

struct DownloadParameters {
  std::int32_t modeFlags = 1;
  std::string address;
  std::wstring localFile;
  std::string ftpUser = "anonymous";
  std::string ftpPassword = "guest@example.com";  // the anonymous-FTP convention: an e-mail address
  std::int32_t connections = 1;
  std::int32_t speedLimit = 0;  // bytes per second, 0 = none (not used by this downloader)
  std::int32_t connectTimeoutMs = 20000;
  std::int32_t sendTimeoutMs = 20000;
  std::int32_t receiveTimeoutMs = 20000;
  std::int32_t stopGraceMs = 1000;
  std::int32_t readBlockSize = 20480;  // capped at kMaxReadBlock
  std::int32_t sendBlockSize = 1024;   // uploads only
  std::int32_t reserved14 = 0;
  DownloadNotify notify = nullptr;
  std::string reserved16;
  std::int32_t ftpTransferMode = kFtpBinary;
  std::string ftpFileTypes = ".exe|.rar|.zip|.gif|.jpg|.mp3|.rm";
  std::string reserved19;
  std::string reserved20;
  // Not one of the record's fields: the largest file the download may bring,
  // in bytes; a server that names a larger one, or sends more, fails the
  // download before anything is written far into the file. 0: no limit.
  std::int64_t largestFile = 0;
  // Not one of the record's fields either: asked on the downloader's thread, with the
  // lowercase hex SHA-256 of the whole file, before the file takes its name;
  // false keeps nothing, as a failed download. Empty: every whole file is kept.
  std::function<bool(std::string_view sha256)> acceptFile;
};

constexpr std::int32_t kMaxReadBlock = 20480;

}  // namespace update
