// Deliveries into another process: the stand-in target's RichEdit field, as the
// chat client's nickname field gets them.
#include "win/stand_in_target.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "caption/delivery.h"
#include "finder/finder.h"
#include "win/expected_delivery.h"

namespace {

using caption::SendCaption;
using caption::TextKind;
using wintest::ExpectedDelivery;
using wintest::InputMessage;
using wintest::StandInTarget;

std::vector<InputMessage> Inputs(const std::vector<wintest::LoggedMessage>& logged) {
  std::vector<InputMessage> out;
  for (const auto& m : logged) out.push_back(m.input);
  return out;
}

// What the field answers to WM_GETTEXT, read as UTF-16 and given in GBK.
std::string FieldText(HWND field) {
  char16_t buffer[512] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutW(field, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, 5000, &length);
  return text::Utf16ToGbk(std::u16string_view(buffer, length));
}

TEST(StandInTarget, LogsTheSequenceAsPosted) {
  // The harness runs this under the code page it is asked for (tests/wine/wine-env.sh).
  char asked[16];
  if (GetEnvironmentVariableA("LYRIMARK_CODE_PAGE", asked, sizeof asked)) {
    EXPECT_EQ(GetACP(), std::stoul(asked));
  }
  // 中A travels as its GBK bytes where the ANSI code page is GBK, else as UTF-16.
  const std::vector<WPARAM> as_bytes{0xD6, 0xD0, 0x41}, as_utf16{0x4E2D, 0x41};
  EXPECT_EQ(wintest::CharacterValues("中A"), caption::AnsiIsGbk() ? as_bytes : as_utf16);
  StandInTarget target;
  ASSERT_TRUE(target.started());
  SendCaption(target.field(), "中A", TextKind::kCaption);
  SendCaption(target.field(), "中A", TextKind::kLyricsLine);
  SendCaption(target.field(), "", TextKind::kCaption);

  std::vector<InputMessage> expected = ExpectedDelivery("中A", 0);
  for (const auto& part : {ExpectedDelivery("中A", 1), ExpectedDelivery("", 0)}) {
    expected.insert(expected.end(), part.begin(), part.end());
  }
  const std::vector<wintest::LoggedMessage> logged = target.WaitForInputMessages(expected.size());
  ASSERT_EQ(Inputs(logged), expected);

  // Measured on the posts' own time stamps: the target may take them late.
  const std::size_t second = wintest::SecondClosingClick("中A");
  EXPECT_GE(logged[second].posted_ms - logged[second - 1].posted_ms, 10);
}

TEST(StandInTarget, FieldTextIsReplacedByTheNewText) {
  StandInTarget target;
  ASSERT_TRUE(target.started());

  // 30 characters, the most a delivery erases: double-byte ones and a full-width digit among them.
  const std::string nickname = "春眠不觉晓处处闻啼鸟ABCDEFGHIJ１２３４５6789 ";
  SendCaption(target.field(), nickname);
  const std::size_t first = ExpectedDelivery(nickname, 0).size();
  target.WaitForInputMessages(first);
  ASSERT_EQ(FieldText(target.field()), nickname);

  const std::string caption = "夜来风雨声,花落知多少。x";
  SendCaption(target.field(), caption, TextKind::kLyricsLine);
  target.WaitForInputMessages(first + ExpectedDelivery(caption, 1).size());
  EXPECT_EQ(FieldText(target.field()), caption);
  EXPECT_EQ(target.WaitForReportedText(caption), caption);
}

// The finder reads the title the system keeps for the window under the
// pointer, sending its program nothing: a field gives its caption, not the text
// typed into it; a window that claims 0x7FFFFFFF characters gives its title;
// one whose program the system knows as hung reads as no title, at once.
TEST(StandInTarget, TitlesOfWindowsThatAnswerBadly) {
  StandInTarget target(true);
  ASSERT_TRUE(target.started());
  ASSERT_NE(target.absurd_title(), nullptr);
  ASSERT_NE(target.hung(), nullptr);
  EXPECT_EQ(finder::ReadWindowTitle(GetParent(target.field())), "Lyrimark 测试目标");
  EXPECT_EQ(finder::ReadWindowTitle(target.absurd_title()), "长度离谱的标题");
  SendCaption(target.field(), "昵称");
  target.WaitForReportedText("昵称");
  EXPECT_EQ(finder::ReadWindowTitle(target.field()), "");

  const auto start = std::chrono::steady_clock::now();
  while (!IsHungAppWindow(target.hung()) && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
    Sleep(100);
  ASSERT_TRUE(IsHungAppWindow(target.hung()));
  const auto asked = std::chrono::steady_clock::now();
  EXPECT_EQ(finder::ReadWindowTitle(target.hung()), "");
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(100));
}

}  // namespace
