// Reading the maker's announcement page.
#pragma once

#include <string>
#include <string_view>

namespace update {

// The text between the first `start` in `text` and the next `end` after it.
// Empty when `start` does not occur, when `end` does not follow it, or when
// `end` follows at once.
std::string ExtractBetween(std::string_view text, std::string_view start, std::string_view end);

// A value says yes when it is exactly "是".
bool IsYes(std::string_view value);

// The four settings the start-up check reads.
struct Announcement {
  std::string force;   // "是否强制更新="
  std::string prompt;  // "是否提示更新="
  std::string run;     // "是否正常="
  std::string title;   // "标题启动="
};
Announcement ReadAnnouncement(std::string_view page);

// Where the new version comes from and the name it is saved and started under;
// for a program that takes signed updates only, also what the release says of
// itself (a version or signature too long to be one reads as none).
struct UpdateSource {
  std::string address;    // "自动更新地址="
  std::string fileName;   // "程序名字="
  std::string version;    // "更新版本="
  std::string signature;  // "更新签名="
};
UpdateSource ReadUpdateSource(std::string_view page);

}  // namespace update
