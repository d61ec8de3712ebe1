#include "update/announcement.h"

#include <gtest/gtest.h>

#include "update/release_signature.h"

namespace {

TEST(ExtractBetween, TakesTheTextAfterTheFirstStartUpToTheNextEnd) {
  EXPECT_EQ(update::ExtractBetween("x<a>1</a><a>2</a>", "<a>", "</a>"), "1");
  EXPECT_EQ(update::ExtractBetween("</a><a>1</a>", "<a>", "</a>"), "1");
  EXPECT_EQ(update::ExtractBetween("<a></a>", "<a>", "</a>"), "");
  EXPECT_EQ(update::ExtractBetween("<a>1", "<a>", "</a>"), "");
  // A missing start gives nothing rather than a piece of some other text.
  EXPECT_EQ(update::ExtractBetween("正常=是</p>", "是否正常=", "</p>"), "");
  // The start must begin on a character: "\x81@" is one character, not '@'.
  EXPECT_EQ(update::ExtractBetween("\x81@1;@2;", "@", ";"), "2");
}

std::string Page(std::string_view section) {
  return "<html><p>是否正常=否</p>\r\n////开始" + std::string(section) + "////结束<p>标题启动=外</p></html>";
}

TEST(Announcement, OnlyTheMarkedSectionCounts) {
  const auto a = update::ReadAnnouncement(
      Page("<p>标题启动=字幕工具</p>\r\n<p>是否提示更新=是</p><p>是否正常=是</p><p>是否正常=否</p>"));
  EXPECT_TRUE(update::IsYes(a.run));
  EXPECT_TRUE(update::IsYes(a.prompt));
  EXPECT_FALSE(update::IsYes(a.force));
  EXPECT_EQ(a.title, "字幕工具");
}

TEST(Announcement, ARunKeyAloneRunsWithAnEmptyTitle) {
  const auto a = update::ReadAnnouncement(Page("<p>是否正常=是</p>"));
  EXPECT_TRUE(update::IsYes(a.run));
  EXPECT_EQ(a.title, "");
  EXPECT_EQ(a.force, "");
}

TEST(Announcement, AnythingButExactlyYesIsNo) {
  EXPECT_FALSE(update::IsYes(update::ReadAnnouncement(Page("<p>是否正常=是 </p>")).run));
  EXPECT_FALSE(update::IsYes(update::ReadAnnouncement(Page("<p>是否正常=是\r\n</p>")).run));
  EXPECT_FALSE(update::IsYes(update::ReadAnnouncement(Page("<p>是否正常=是")).run));
  // No end marker, no start marker, or the page cut by a zero byte: no section.
  EXPECT_FALSE(update::IsYes(update::ReadAnnouncement("////开始<p>是否正常=是</p>").run));
  EXPECT_FALSE(update::IsYes(update::ReadAnnouncement("<p>是否正常=是</p>////结束").run));
  constexpr char kCut[] = "////开始\0<p>是否正常=是</p>////结束";
  EXPECT_FALSE(update::IsYes(update::ReadAnnouncement(std::string_view(kCut, sizeof kCut - 1)).run));
}

TEST(Announcement, TwoSectionsOnlyTheFirstCounts) {
  const auto a =
      update::ReadAnnouncement("////开始<p>是否正常=是</p>////结束////开始<p>标题启动=二</p>////结束");
  EXPECT_TRUE(update::IsYes(a.run));
  EXPECT_EQ(a.title, "");
}

TEST(Announcement, UpdateSourceKeepsItsBlanks) {
  const auto source =
      update::ReadUpdateSource(Page("<p>程序名字=  新版.exe</p><p>更新签名=c2ln</p><p>自动更新地址= "
                                    "http://h/新版.exe </p><p>更新版本=3.4</p>"));
  EXPECT_EQ(source.fileName, "  新版.exe");
  EXPECT_EQ(source.address, " http://h/新版.exe ");
  EXPECT_EQ(source.version, "3.4");
  EXPECT_EQ(source.signature, "c2ln");

  // A version or signature far longer than any is none, read no further.
  const std::string longVersion(33, '1'), longSignature(257, 'A');
  const auto long_ = update::ReadUpdateSource(
      Page("<p>更新版本=" + longVersion + "</p><p>更新签名=" + longSignature + "</p>"));
  EXPECT_EQ(long_.version, "");
  EXPECT_EQ(long_.signature, "");
}

TEST(ReleaseSignature, TheSignedTextNamesVersionFileAndHash) {
  EXPECT_EQ(update::SignedText("3.4", "新版.exe", "ab01"),
            "lyrimark-update-v1\n3.4\n\xD0\xC2\xB0\xE6.exe\nab01");
  EXPECT_EQ(update::Hex(std::string("\x00\x7F\xFF", 3)), "007fff");
}

TEST(ReleaseSignature, Base64IsReadStrictly) {
  EXPECT_EQ(update::DecodeBase64(""), "");
  EXPECT_EQ(update::DecodeBase64("TWFu"), "Man");
  EXPECT_EQ(update::DecodeBase64("TWE="), "Ma");
  EXPECT_EQ(update::DecodeBase64("+/8="), "\xFB\xFF");
  for (const char* bad : {"TWF", "TW=u", "TR==", "TWFu ", "TW\nFu", "-_8=", "T===", "===="}) {
    EXPECT_FALSE(update::DecodeBase64(bad)) << bad;
  }
}

TEST(ReleaseSignature, OnlyANewerDottedVersionIsNewer) {
  for (const char* newer : {"3.4", "3.3.1", "4", "10.0", "3.3.0.1", "003.4"}) {
    EXPECT_TRUE(update::IsNewerVersion(newer, "3.3.0")) << newer;
  }
  for (const char* not_newer : {"3.3", "3.3.0", "3.3.0.0", "3.2.9", "", "3..4", "3.4a", "+4", "4.", ".4",
                                " 4", "1234567890", "3,4"}) {
    EXPECT_FALSE(update::IsNewerVersion(not_newer, "3.3.0")) << not_newer;
  }
}

}  // namespace
