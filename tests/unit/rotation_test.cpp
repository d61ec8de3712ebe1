#include "caption/rotation.h"

#include <gtest/gtest.h>

namespace {

// The texts the scroller delivers, step after step, starting from `text`.
std::vector<std::string> Steps(std::string text, int count) {
  std::vector<std::string> steps;
  for (int i = 0; i < count; ++i) steps.push_back(text = caption::RotateText(text));
  return steps;
}

using Texts = std::vector<std::string>;

TEST(Rotation, TurnsByOneCharacterAndComesBack) {
  EXPECT_EQ(Steps("ABC", 4), (Texts{"BCA", "CAB", "ABC", "BCA"}));
  EXPECT_EQ(Steps("中文AB", 4), (Texts{"文AB中", "AB中文", "B中文A", "中文AB"}));
}

TEST(Rotation, OnlyFirstLevelCharactersMoveAsPairs) {
  // Full-width comma (A3 AC) and a second-level character (D8 A1) move a byte at a time.
  EXPECT_EQ(caption::RotateText("，A"),
            "\xAC"
            "A\xA3");
  EXPECT_EQ(caption::RotateText("\xD8\xA1"
                                "A"),
            "\xA1"
            "A\xD8");
  // Lead in range but trail below A1: one byte.
  EXPECT_EQ(caption::RotateText("\xB0\x40"
                                "A"),
            "\x40"
            "A\xB0");
}

TEST(Rotation, BlanksAtTheEndsGoAtTheNextStep) {
  EXPECT_EQ(Steps(" AB CD　", 3), (Texts{"B CDA", " CDAB", "DABC"}));
}

TEST(Rotation, ShortTextsStayButAreTrimmed) {
  EXPECT_EQ(caption::RotateText(""), "");
  EXPECT_EQ(caption::RotateText("　 "), "");
  EXPECT_EQ(caption::RotateText(" 中 "), "中");
  EXPECT_EQ(caption::RotateText("A"), "A");
}

}  // namespace
