#include "text/file_name.h"

#include <gtest/gtest.h>

namespace {

using text::IsSafeFileName;

TEST(FileName, SeparatorsAreCharactersNotTrailBytes) {
  ASSERT_EQ(std::string_view("錦"), "\xE5\x5C");
  EXPECT_TRUE(IsSafeFileName("錦瑟"));
  EXPECT_TRUE(IsSafeFileName("瑟錦"));  // the backslash byte last
  EXPECT_FALSE(IsSafeFileName("..\\..\\逃出目录"));
  EXPECT_FALSE(IsSafeFileName("子目录/斜杠歌"));
  EXPECT_FALSE(IsSafeFileName("歌\\"));
  // A lead byte that has no trail byte after it is a byte of its own.
  EXPECT_FALSE(IsSafeFileName("\x81\x01\\"));
}

TEST(FileName, NoDriveOrDotNames) {
  EXPECT_FALSE(IsSafeFileName("C:盘符歌"));
  EXPECT_FALSE(IsSafeFileName("歌:流"));  // an alternate stream of another file
  EXPECT_FALSE(IsSafeFileName(".."));
  EXPECT_FALSE(IsSafeFileName("."));
  EXPECT_FALSE(IsSafeFileName("歌\t名"));
  EXPECT_TRUE(IsSafeFileName("再见..."));
  EXPECT_TRUE(IsSafeFileName("..歌"));
}

TEST(FileName, NoDeviceNames) {
  for (const char* name : {"CON", "NUL", "com1", "nul.txt", "Lpt9", "aux", "PRN", "NUL .txt"}) {
    EXPECT_FALSE(IsSafeFileName(name)) << name;
  }
  for (const char* name : {"CONSOLE", "COM", "com10", "nul歌", "歌.con"}) {
    EXPECT_TRUE(IsSafeFileName(name)) << name;
  }
}

// An update is started by the name it was saved under: Windows must keep the name as it stands.
TEST(FileName, ExactNames) {
  for (const char* name : {"x.exe.", "a.exe ", "...", ". .", "x?.exe", "*.exe", "a|b.exe", "<a>.exe", "\"a\".exe"}) {
    EXPECT_FALSE(text::IsExactFileName(name)) << name;
  }
  // 亅 has 0x7C, the byte of '|', as its trail byte.
  ASSERT_EQ(std::string_view("亅"), "\x81\x7C");
  for (const char* name : {"lyrimark.exe", "亅.exe", ".hidden", "a b.exe", "再见...歌"}) {
    EXPECT_TRUE(text::IsExactFileName(name)) << name;
  }
}

TEST(FileName, OrdinaryTitles) {
  for (const char* name : {"静夜思", "春江花月夜", "月下独酌 (live)", "A+B", "将进酒-李白"}) {
    EXPECT_TRUE(IsSafeFileName(name)) << name;
  }
}

}  // namespace
