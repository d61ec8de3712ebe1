#include "update/announcement.h"

#include "text/gbk.h"

namespace update {

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

std::string AnnouncementSection(std::string_view page) {
  return ExtractBetween(text::UpToZero(page), "////开始", "////结束");
}

std::string AnnouncementValue(std::string_view section, std::string_view key) {
  return ExtractBetween(section, key, "</p>");
}

bool IsYes(std::string_view value) {
  return value == "是";
}

Announcement ReadAnnouncement(std::string_view page) {
  const std::string section = AnnouncementSection(page);
  return {AnnouncementValue(section, "是否强制更新="), AnnouncementValue(section, "是否提示更新="),
          AnnouncementValue(section, "是否正常="), AnnouncementValue(section, "标题启动=")};
}

UpdateSource ReadUpdateSource(std::string_view page) {
  const std::string section = AnnouncementSection(page);
  return {AnnouncementValue(section, "自动更新地址="), AnnouncementValue(section, "程序名字="),
          AnnouncementValue(section, "更新版本="), AnnouncementValue(section, "更新签名=")};
}

}  // namespace update
