#include "lyrics/save_name.h"

#include <gtest/gtest.h>

namespace {

using lyrics::IsSafeSaveName;

TEST(SaveName, SeparatorsAreCharactersNotTrailBytes) {
  ASSERT_EQ(std::string_view("錦"), "\xE5\x5C");
  EXPECT_TRUE(IsSafeSaveName("錦瑟"));
  EXPECT_TRUE(IsSafeSaveName("瑟錦"));  // the backslash byte last
  EXPECT_FALSE(IsSafeSaveName("..\\..\\逃出目录"));
  EXPECT_FALSE(IsSafeSaveName("子目录/斜杠歌"));
  EXPECT_FALSE(IsSafeSaveName("歌\\"));
  // A lead byte that has no trail byte after it is a byte of its own.
  EXPECT_FALSE(IsSafeSaveName("\x81\x01\\"));
}

TEST(SaveName, NoDriveOrDotNames) {
  EXPECT_FALSE(IsSafeSaveName("C:盘符歌"));
  EXPECT_FALSE(IsSafeSaveName("歌:流"));  // an alternate stream of another file
  EXPECT_FALSE(IsSafeSaveName(".."));
  EXPECT_FALSE(IsSafeSaveName("."));
  EXPECT_FALSE(IsSafeSaveName("歌\t名"));
  EXPECT_TRUE(IsSafeSaveName("再见..."));
  EXPECT_TRUE(IsSafeSaveName("..歌"));
}

TEST(SaveName, NoDeviceNames) {
  for (const char* name : {"CON", "NUL", "com1", "nul.txt", "Lpt9", "aux", "PRN", "NUL .txt"}) {
    EXPECT_FALSE(IsSafeSaveName(name)) << name;
  }
  for (const char* name : {"CONSOLE", "COM", "com10", "nul歌", "歌.con"}) {
    EXPECT_TRUE(IsSafeSaveName(name)) << name;
  }
}

TEST(SaveName, OrdinaryTitles) {
  for (const char* name : {"静夜思", "春江花月夜", "月下独酌 (live)", "A+B", "将进酒-李白"}) {
    EXPECT_TRUE(IsSafeSaveName(name)) << name;
  }
}

}  // namespace
