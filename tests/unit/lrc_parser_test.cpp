#include "lyrics/lrc_parser.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace {

using lyrics::SongLyrics;
using Lines = std::vector<std::pair<std::int32_t, std::string>>;

SongLyrics Parse(std::string_view text) {
  SongLyrics song;
  song.title = "left over from the last song";
  song.times = {1, 2, 3};
  EXPECT_TRUE(lyrics::ParseLyrics(text, song));
  EXPECT_EQ(song.count, static_cast<std::int32_t>(song.times.size()));
  EXPECT_EQ(song.times.size(), song.texts.size());
  return song;
}

Lines LinesOf(std::string_view text) {
  const SongLyrics song = Parse(text);
  Lines lines;
  for (std::size_t i = 0; i < song.times.size(); ++i) lines.emplace_back(song.times[i], song.texts[i]);
  return lines;
}

std::int32_t TimeOf(std::string_view tag) {
  const SongLyrics song = Parse(std::string(tag) + "x");
  return song.count == 1 ? song.times[0] : -1;
}

TEST(LrcTime, FractionCountsAsMillisecondsAsItStands) {
  EXPECT_EQ(TimeOf("[01:23.45]"), 83045);
  EXPECT_EQ(TimeOf("[00:05.500]"), 5500);
  EXPECT_EQ(TimeOf("[00:05.5]"), 5005);
  EXPECT_EQ(TimeOf("[00:05.50]"), 5050);
  // The byte before the fraction is any byte, even the last seconds digit.
  EXPECT_EQ(TimeOf("[01:23:45]"), 83045);
  EXPECT_EQ(TimeOf("[01:23]"), 83023);
  EXPECT_EQ(TimeOf("[1:2.3]"), 62003);
  EXPECT_EQ(TimeOf("[:]]"), 0);
  EXPECT_EQ(TimeOf("[01.23.45]"), -1);
  EXPECT_EQ(TimeOf("[ti:x]"), -1);
  EXPECT_EQ(TimeOf("[01:2xx3]"), -1);
}

TEST(LrcTime, HugeNumbersSaturate) {
  EXPECT_EQ(TimeOf("[99999999999:00.00]"), INT32_MAX);
  EXPECT_EQ(TimeOf("[35791:23.648]"), INT32_MAX);  // 2147483648 ms
  EXPECT_EQ(TimeOf("[35791:23.647]"), INT32_MAX);
  EXPECT_EQ(TimeOf("[35791:23.646]"), INT32_MAX - 1);
  EXPECT_EQ(TimeOf("[0:" + std::string(400, '9') + ".1]"), INT32_MAX);
}

TEST(LrcTime, GreedyTagTakesTheLongerEnd) {
  // "[1:2]3]" is a tag as a whole: the '.' takes the first ']'. Its fraction
  // is still the digits before the first ']'.
  EXPECT_EQ(LinesOf("[1:2]3]x"), (Lines{{62002, "x"}}));
  EXPECT_EQ(LinesOf("[1:2]]x"), (Lines{{62002, "x"}}));
  EXPECT_EQ(LinesOf("[1:2]x]"), (Lines{{62002, "x]"}}));
}

TEST(LrcLines, EachTagGetsItsLineWithoutTags) {
  EXPECT_EQ(LinesOf("[00:10.00][01:20.00]chorus\r\n[00:30.00]\r\n[00:20.00] verse \r\n"),
            (Lines{{10000, "chorus"}, {20000, " verse "}, {30000, ""}, {80000, "chorus"}}));
  // A repeated tag text takes the first line that holds it.
  EXPECT_EQ(LinesOf("[00:01.00]one\r\n[00:01.00]two\r\n"), (Lines{{1000, "one"}, {1000, "one"}}));
  // A lone CR does not end a line.
  EXPECT_EQ(LinesOf("[00:01.00]a\r[00:02.00]b\r\n"), (Lines{{1000, "a\rb"}, {2000, "a\rb"}}));
}

TEST(LrcLines, BlankRunsLeaveTheirLfOnTheNextLine) {
  EXPECT_EQ(LinesOf("[00:01.00]a\r\n\r\n[00:02.00]b\r\n"), (Lines{{1000, "a"}, {2000, "\nb"}}));
  EXPECT_EQ(LinesOf("[00:01.00]a\r\n \t\r\n|\r\n\r\n[00:02.00]b"), (Lines{{1000, "a"}, {2000, "\nb"}}));
  // A blank last line leaves its LF as a line of its own, which holds no tag.
  EXPECT_EQ(LinesOf("[00:01.00]a\r\n\r\n"), (Lines{{1000, "a"}}));
  // A blank first line works the same way.
  EXPECT_EQ(LinesOf("\r\n[00:01.00]a"), (Lines{{1000, "\na"}}));
}

TEST(LrcLines, LfOnlyFileIsOneLine) {
  EXPECT_EQ(LinesOf("[00:02.00]b\n[00:01.00]a\n"), (Lines{{1000, "b\na\n"}, {2000, "b\na\n"}}));
  // Its only line starts with an ID tag and is dropped, so the tags have no text.
  EXPECT_EQ(LinesOf("[ti:Song]\n[00:01.00]a\n"), (Lines{{1000, ""}}));
}

TEST(LrcLines, TagsOnIdLinesKeepTheirPlaceWithEmptyText) {
  EXPECT_EQ(LinesOf("[ar:x][00:01.00]y\r\n[00:02.00]z"), (Lines{{1000, ""}, {2000, "z"}}));
  EXPECT_EQ(LinesOf("[ar:x][00:01.00]y\r\n[00:01.00]z"), (Lines{{1000, "z"}, {1000, "z"}}));
}

TEST(LrcLines, SearchForATagStepsOverDoubleByteCharacters) {
  // 0x81 and '[' form one character, so the first line holds no tag text for
  // the line search, while the tag itself still counts.
  EXPECT_EQ(LinesOf("\x81[00:01.00]a\r\n[00:01.00]b\r\n"), (Lines{{1000, "b"}, {1000, "b"}}));
  EXPECT_EQ(LinesOf("\x81[00:01.00]a\r\n"), (Lines{{1000, ""}}));
  EXPECT_EQ(LinesOf("中[00:01.00]文"), (Lines{{1000, "中文"}}));
}

TEST(LrcOrder, TiesFallWhereTheInsertionPutsThem) {
  // Equal to the last: after it. Equal to the first (and below the last): before it.
  // Differently written tags of equal times tell the records apart.
  EXPECT_EQ(LinesOf("[0:1.0]a\r\n[0:2.0]b\r\n[0:2.00]c\r\n[0:1.00]d\r\n[0:0.0]e"),
            (Lines{{0, "e"}, {1000, "d"}, {1000, "a"}, {2000, "b"}, {2000, "c"}}));
  // Equal to an entry the search meets: directly after that entry, here the
  // middle one of three equal entries.
  EXPECT_EQ(LinesOf("[0:1.0]a\r\n[0:2.0]b\r\n[0:2.00]c\r\n[0:2.000]d\r\n[0:3.0]e\r\n[00:2.0]f"),
            (Lines{{1000, "a"}, {2000, "b"}, {2000, "c"}, {2000, "f"}, {2000, "d"}, {3000, "e"}}));
}

TEST(LrcIdTags, ValuesAreCaseSensitiveAndHaveNoSpace) {
  const SongLyrics song = Parse(
      "[TI:Upper]\r\n[ti:Two words]\r\n[ti:静夜思]\r\n[ar:李白]\r\n[al:a]b]\r\n[by:]\r\n[offset:-500]\r\n"
      "[00:01.00]床前明月光");
  EXPECT_EQ(song.title, "静夜思");
  EXPECT_EQ(song.artist, "李白");
  EXPECT_EQ(song.album, "a]b");
  EXPECT_EQ(song.author, "");
  EXPECT_EQ(song.offset, -500);
  EXPECT_EQ(song.times, (std::vector<std::int32_t>{1000}));
  EXPECT_EQ(song.texts, (std::vector<std::string>{"床前明月光"}));

  EXPECT_EQ(Parse("[offset:+12.7]").offset, 12);
  EXPECT_EQ(Parse("[offset:x]").offset, 0);
  EXPECT_EQ(Parse("[offset:1e99]").offset, INT32_MAX);
}

TEST(LrcInput, EndsAtTheFirstZeroByte) {
  const std::string utf16(
      "[\0"
      "0\0"
      "0\0"
      ":\0"
      "0\0"
      "1\0"
      "]\0",
      14);
  EXPECT_EQ(Parse(utf16).count, 0);
  EXPECT_EQ(LinesOf(std::string("[00:01]a\0[00:02]b", 17)), (Lines{{1001, "a"}}));
  const SongLyrics empty = Parse("");
  EXPECT_EQ(empty.count, 0);
  EXPECT_EQ(empty.title, "");
}

}  // namespace

namespace {

TEST(LrcInput, ASongTooLargeToHoldFailsInsteadOfExhaustingMemory) {
  // One LF-only line of 1 MB carrying 2,000 tags: every record would hold the
  // whole line again, 2 GB in all.
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "[00:" + std::to_string(i % 60) + ".00]";
  text += std::string(1 << 20, 'x') + "\n";
  lyrics::SongLyrics song;
  song.count = 5;
  EXPECT_FALSE(lyrics::ParseLyrics(text, song));
  EXPECT_EQ(song.count, 0);
  EXPECT_TRUE(song.times.empty());
}

}  // namespace
