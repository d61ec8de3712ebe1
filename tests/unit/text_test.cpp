#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "text/convert.h"
#include "text/gbk.h"
#include "text/lyrics_encoding.h"
#include "text/numbers.h"
#include "unit/encoded_text.h"

namespace {

using Pieces = std::vector<std::string_view>;

TEST(Literals, AreGbkBytes) {
  // The build turns UTF-8 literals into GBK; everything else relies on it.
  EXPECT_EQ(std::string("中"), "\xD6\xD0");
  EXPECT_EQ(std::string("歌词"), "\xB8\xE8\xB4\xCA");
  EXPECT_EQ(std::string("　"), "\xA1\xA1");
}

TEST(Gbk, SearchAndSplitNeverStartOnATrailByte) {
  // 0x5D (']') and 0x41 ('A') are also trail bytes: "\x81\x5D" and "\x81\x41"
  // are single characters that must not be cut.
  EXPECT_EQ(text::Find("\x81\x5D]", "]"), 2u);
  EXPECT_EQ(text::Find("\x81\x41\x41", "A"), 2u);
  EXPECT_EQ(text::Find("\x81\x41", "A"), text::npos);
  EXPECT_EQ(text::Split("[00:01]\x81\x5D", "]"), (Pieces{"[00:01", "\x81\x5D"}));
  // A lone lead byte before a non-trail byte is a character of its own.
  EXPECT_EQ(text::CharWidth("\x81 ", 0), 1u);
  EXPECT_EQ(text::CharWidth("\x81", 0), 1u);
}

TEST(Gbk, SplitCountsInnerEmptyPiecesOnly) {
  EXPECT_EQ(text::Split("a  b ", " "), (Pieces{"a", "", "b"}));
  EXPECT_EQ(text::Split(" a", " "), (Pieces{"", "a"}));
  EXPECT_EQ(text::Split("", " "), Pieces{});
  EXPECT_EQ(text::Split("ab", "\r\n"), (Pieces{"ab"}));
  // An empty separator used to be found at the same place forever.
  EXPECT_EQ(text::Split("ab", ""), (Pieces{"ab"}));
}

TEST(Gbk, TrimBlanksStepsOverCharacters) {
  EXPECT_EQ(text::TrimBlanks("　 a b　 "), "a b");
  EXPECT_EQ(text::TrimBlanks(" 　 "), "");
  // B0 A1 is a character, so the A1 A1 straddling it is no full-width space.
  EXPECT_EQ(text::TrimBlanks("\xB0\xA1\xA1"), "\xB0\xA1\xA1");
}

TEST(Numbers, ReadIntegerTakesFullWidthFormsAndSaturates) {
  EXPECT_EQ(text::ReadInteger("  42abc"), 42);
  EXPECT_EQ(text::ReadInteger("　－１２３"), -123);
  EXPECT_EQ(text::ReadInteger("+7"), 7);
  EXPECT_EQ(text::ReadInteger(""), 0);
  EXPECT_EQ(text::ReadInteger("abc"), 0);
  EXPECT_EQ(text::ReadInteger("- 5"), 0);
  EXPECT_EQ(text::ReadInteger("99999999999"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(text::ReadInteger("-99999999999"), std::numeric_limits<std::int32_t>::min());
}

TEST(Numbers, ReadNumberTakesOnlyADecimalPrefix) {
  EXPECT_EQ(text::ReadNumber(" 3.5e2x"), 350.0);
  EXPECT_EQ(text::ReadNumber("-.5"), -0.5);
  EXPECT_EQ(text::ReadNumber("12e"), 12.0);
  EXPECT_EQ(text::ReadNumber("0x1A"), 0.0);
  EXPECT_EQ(text::ReadNumber("inf"), 0.0);
  EXPECT_EQ(text::ReadNumber("."), 0.0);
  EXPECT_EQ(text::TruncateToInt32(-2.9), -2);
  EXPECT_EQ(text::TruncateToInt32(1e12), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(text::TruncateToInt32(std::nan("")), 0);
}

TEST(Numbers, RoundHalfAwayFromZero) {
  EXPECT_EQ(text::RoundHalfAway(2.5, 0), 3.0);
  EXPECT_EQ(text::RoundHalfAway(-2.5, 0), -3.0);
  // x87 arithmetic of the 32-bit Windows build may differ in the last bit;
  // the texts written from these values (13 digits) do not.
  EXPECT_DOUBLE_EQ(text::RoundHalfAway(1.125, 2), 1.13);
  EXPECT_DOUBLE_EQ(text::RoundHalfAway(-1.125, 2), -1.13);
  EXPECT_EQ(text::FormatG13(text::RoundHalfAway(1.125, 2)), "1.13");
  // Scaling used to overflow to infinity.
  EXPECT_EQ(text::RoundHalfAway(1e300, 9), 1e300);
}

TEST(Numbers, FormatG13IsTheSameOnEveryPlatform) {
  // The Windows C runtime's own printf would write "1e+020".
  EXPECT_EQ(text::FormatG13(1.5), "1.5");
  EXPECT_EQ(text::FormatG13(2.0), "2");
  EXPECT_EQ(text::FormatG13(3725.0 / 60), "62.08333333333");
  EXPECT_EQ(text::FormatG13(0.0001), "0.0001");
  EXPECT_EQ(text::FormatG13(1e20), "1e+20");
  EXPECT_EQ(text::FormatG13(1234567890123456.0), "1.234567890123e+15");
}

std::string Bytes(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) out += std::to_string(static_cast<unsigned>(c)) + " ";
  return out;
}

TEST(Convert, CommonTextRoundTrips) {
  // (No euro sign among the literals: the build writes GB18030's A2 E3 for it,
  // which GBK lacks; GBK's euro is the single byte 0x80.)
  const std::string gbk = "中文ABC，。　\x80";
  EXPECT_EQ(text::GbkToUtf8(gbk),
            "\xE4\xB8\xAD\xE6\x96\x87"
            "ABC\xEF\xBC\x8C\xE3\x80\x82\xE3\x80\x80\xE2\x82\xAC");
  EXPECT_EQ(text::Utf8ToGbk(text::GbkToUtf8(gbk)), gbk);
  // Where GB2312, GBK and GB18030 disagree, both tables follow Windows' GBK.
  EXPECT_EQ(text::GbkToUtf16("\x80\xA1\xA4\xA1\xAA\xA8\x44"), u"\u20AC\u00B7\u2014\u2015");
}

TEST(Convert, MissingCharactersBecomeQuestionMarks) {
  // No look-alikes: Windows would otherwise write "A" for U+00C0 and "|" for U+00A6.
  EXPECT_EQ(text::Utf16ToGbk(u"\u00C0\u00A6\u00A9"), "???");
  EXPECT_EQ(text::Utf16ToGbk(u"\U0001F600"), "??");
  EXPECT_EQ(text::Utf16ToGbk(std::u16string(1, char16_t{0xD800})), "?");
  EXPECT_EQ(text::Utf8ToGbk("A\xC3(B"), "A?(B");
}

// The two tables differ where GBK has no character: Windows maps the
// user-defined areas (AAA1-AFFE, F8A1-FEFE, A140-A7A0) and the gaps such as
// FE50-FEA0 to the
// private use area, and 0xFF to U+F8F5; iconv knows none of them.
TEST(Convert, BytesWithoutACharacterDifferByPlatform) {
#ifdef _WIN32
  EXPECT_EQ(Bytes(text::GbkToUtf16("\xAA\xA1")), Bytes(u"\uE000"));
  EXPECT_EQ(Bytes(text::GbkToUtf16("\xFE\x50")), Bytes(u"\uE815"));
  EXPECT_EQ(text::Utf16ToGbk(u"\uE000"), "\xAA\xA1");
  EXPECT_EQ(Bytes(text::GbkToUtf16("\xFF")), Bytes(u"\uF8F5"));
  // A lead byte takes the next byte with it into one '?', even a blank.
  EXPECT_EQ(Bytes(text::GbkToUtf16("\x81 a\x81")), Bytes(u"?a?"));
  // One replacement per broken UTF-8 sequence.
  EXPECT_EQ(Bytes(text::Utf8ToUtf16("\xE4\xB8"
                                    "A")),
            Bytes(u"\uFFFD"
                  "A"));
#else
  EXPECT_EQ(Bytes(text::GbkToUtf16("\xAA\xA1")), Bytes(u"\uFFFD\uFFFD"));
  EXPECT_EQ(Bytes(text::GbkToUtf16("\xFE\x50")), Bytes(u"\uFFFDP"));
  EXPECT_EQ(text::Utf16ToGbk(u"\uE000"), "?");
  EXPECT_EQ(Bytes(text::GbkToUtf16("\xFF")), Bytes(u"\uFFFD"));
  // iconv replaces the lone lead byte only; what follows is read on its own.
  EXPECT_EQ(Bytes(text::GbkToUtf16("\x81 a\x81")), Bytes(u"\uFFFD a\uFFFD"));
  // One replacement per byte.
  EXPECT_EQ(Bytes(text::Utf8ToUtf16("\xE4\xB8"
                                    "A")),
            Bytes(u"\uFFFD\uFFFD"
                  "A"));
#endif
}

using encoded::Utf16File;
using encoded::Utf8;

TEST(LyricsEncoding, IsDecidedOnTheWholeFile) {
  using enum text::LyricsEncoding;
  const struct {
    std::string bytes;
    text::LyricsEncoding encoding;
  } cases[] = {
      {"", kGbk},
      {"[00:01.00]Yesterday\r\n", kGbk},  // ASCII: the same bytes either way
      {"[00:01.00]床前明月光\r\n", kGbk},
      {Utf8(u8"[00:01.00]床前明月光\r\n"), kUtf8},
      {"\xEF\xBB\xBF[00:01.00]\r\n", kUtf8},
      {"\xEF\xBB\xBF[00:01.00]床\r\n", kUtf8},  // the mark decides, even over GBK bytes
      {Utf16File(u"[00:01.00]床", false), kUtf16Le},
      {Utf16File(u"[00:01.00]床", true), kUtf16Be},
      // 山水 in GBK is valid UTF-8 by chance; the line after it is not.
      {"[00:01.00]山水\r\n[00:02.00]床前明月光\r\n", kGbk},
      // The limit of the rule: a GBK file of those two characters alone reads as UTF-8.
      {"[00:01.00]山水\r\n", kUtf8},
      // Strict UTF-8 only: overlong forms, surrogates, beyond U+10FFFF, a cut sequence.
      {"a\xC0\xAF", kGbk},
      {"a\xE0\x80\xAF", kGbk},
      {"a\xED\xA0\x80", kGbk},
      {"a\xF4\x90\x80\x80", kGbk},
      {"a\xF5\x80\x80\x80", kGbk},
      {Utf8(u8"[00:01.00]床前明月光\r\n") + "\xE5\xBA", kGbk},
      {"\xF4\x8F\xBF\xBF\xED\x9F\xBF\xE0\xA0\x80", kUtf8},  // the last code point, and next to the edges
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text::DecideLyricsEncoding(c.bytes), c.encoding) << c.bytes;
  }
}

TEST(LyricsEncoding, EveryEncodingGivesTheSameGbkText) {
  std::string gbk, utf8;
  std::u16string utf16;
  for (int i = 0; i < 3; ++i) {
    gbk += "[00:01.00]床前明月光，疑是地上霜。\r\n";
    utf8 += Utf8(u8"[00:01.00]床前明月光，疑是地上霜。\r\n");
    utf16 += u"[00:01.00]床前明月光，疑是地上霜。\r\n";
  }
  for (const std::string& file : {gbk, utf8, "\xEF\xBB\xBF" + utf8, Utf16File(utf16, false),
                                  Utf16File(utf16, true), Utf16File(utf16, false) + "x"}) {
    EXPECT_EQ(text::LyricsText(file), gbk);
  }
  // GBK goes through byte for byte, bytes that are no character included.
  EXPECT_EQ(text::LyricsText("\x81 \xFF\x80"), "\x81 \xFF\x80");
  EXPECT_EQ(text::LyricsText("[00:01.00]a\n[00:02.00]b\n"), "[00:01.00]a\n[00:02.00]b\n");
  // Today's files end their lines in LF alone: they read as lines all the same.
  EXPECT_EQ(text::LyricsText(Utf8(u8"[00:01.00]床\n[00:02.00]前\r[00:03.00]月\r\n\n")),
            "[00:01.00]床\r\n[00:02.00]前\r\n[00:03.00]月\r\n\r\n");
  EXPECT_EQ(text::LyricsText(Utf16File(u"床\n前", true)), "床\r\n前");
  // What GBK lacks becomes '?', and each byte of a marked file that starts no character.
  EXPECT_EQ(text::LyricsText(Utf8(u8"さくら・さくら\U0001F338")), "さくら?さくら??");
  EXPECT_EQ(text::LyricsText(Utf16File(u"\U0001F338", true)), "??");
  EXPECT_EQ(text::LyricsText("\xEF\xBB\xBF"
                             "a\xE5\xBA"
                             "b\xFF\xC0\xAF"),
            "a??b???");
  // Every character of the BMP as code page 936 converts it, from UTF-8 and UTF-16.
  std::u16string bmp;
  for (char32_t u = 1; u < 0x10000; ++u) {
    if ((u < 0xD800 || u > 0xDFFF) && u != '\r' && u != '\n') bmp += static_cast<char16_t>(u);
  }
  EXPECT_EQ(text::LyricsText(text::Utf16ToUtf8(bmp)), text::Utf16ToGbk(bmp));
  EXPECT_EQ(text::LyricsText(Utf16File(bmp, false)), text::Utf16ToGbk(bmp));
}

}  // namespace
