#include "update/announcement.h"

#include "text/gbk.h"

namespace update {

namespace {

// The marked section of an announcement page: its bytes up to the first zero byte.
std::string Section(std::string_view page) {
  return ExtractBetween(text::UpToZero(page), "////开始", "////结束");
}

std::string Value(std::string_view section, std::string_view key) {
  return ExtractBetween(section, key, "</p>");
}

// A release's version and signature are short texts: a longer value is none,
// and is read no further.
constexpr std::size_t kLongestVersion = 32;
constexpr std::size_t kLongestSignature = 256;

std::string ShortValue(std::string_view section, std::string_view key, std::size_t longest) {
  std::string value = Value(section, key);
  return value.size() <= longest ? value : std::string();
}

}  // namespace

std::string ExtractBetween(std::string_view whole, std::string_view start, std::string_view end) {
  // A missing start marker gives nothing: reading on from some other place of
  // the page would hand out a fragment of another setting as this one's value.
  const std::size_t at = text::Find(whole, start);
  if (at == text::npos) return {};
  const std::size_t from = at + start.size();
  const std::size_t to = text::Find(whole, end, from);
  if (to == text::npos) return {};
  return std::string(whole.substr(from, to - from));
}

bool IsYes(std::string_view value) {
  return value == "是";
}

Announcement ReadAnnouncement(std::string_view page) {
  const std::string section = Section(page);
  return {Value(section, "是否强制更新="), Value(section, "是否提示更新="), Value(section, "是否正常="),
          Value(section, "标题启动=")};
}

UpdateSource ReadUpdateSource(std::string_view page) {
  const std::string section = Section(page);
  return {Value(section, "自动更新地址="), Value(section, "程序名字="),
          ShortValue(section, "更新版本=", kLongestVersion), ShortValue(section, "更新签名=", kLongestSignature)};
}

}  // namespace update
