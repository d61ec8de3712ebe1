// The parser against the literal reference on generated lyrics files: odd
// tags, ties in every arrangement, blank runs, GBK text and mixed line ends.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "lyrics/lrc_parser.h"
#include "unit/lrc_reference.h"

namespace {

// A fixed seed and our own range reduction: the same inputs on every platform.
class Dice {
 public:
  explicit Dice(std::uint32_t seed) : engine_(seed) {}
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
  bool OneIn(std::size_t n) { return Below(n) == 0; }
  template <typename T>
  const T& Of(const std::vector<T>& items) {
    return items[Below(items.size())];
  }

 private:
  std::mt19937 engine_;
};

std::string Digits(int value, std::size_t min_width) {
  const std::string s = std::to_string(value);
  return s.size() < min_width ? std::string(min_width - s.size(), '0') + s : s;
}

// One time, written in one of the many ways files write it.
std::string TimeTag(Dice& dice, int tenths) {
  const int minutes = tenths / 600, seconds = tenths / 10 % 60, fraction = tenths % 10;
  const std::string m = Digits(minutes, dice.Below(3)), s = Digits(seconds, dice.Below(3));
  switch (dice.Below(8)) {
    case 0:
      return "[" + m + ":" + s + "]";
    case 1:
      return "[" + m + ":" + s + ":" + Digits(fraction * 10, 2) + "]";
    case 2:
      return "[" + m + ":" + s + "]]";
    case 3:
      return "[" + m + ":" + s + "]" + std::to_string(fraction) + "]";
    case 4:
      return "[" + m + ":" + s + "." + std::to_string(fraction) + "]";
    default:
      return "[" + m + ":" + s + "." + Digits(fraction * 10, 2) + "]";
  }
}

// Times in the arrangements that make the insertion order interesting.
std::vector<int> Times(Dice& dice, std::size_t n) {
  std::vector<int> times(n);
  const std::size_t spread = 1 + dice.Below(6) * dice.Below(6);  // small spreads give many ties
  const std::size_t arrangement = dice.Below(5);
  for (std::size_t i = 0; i < n; ++i) {
    const auto step = static_cast<int>(i * spread / 4);
    switch (arrangement) {
      case 0:
        times[i] = step;
        break;  // ascending
      case 1:
        times[i] = static_cast<int>(n * spread) - step;
        break;  // descending
      case 2:
        times[i] = static_cast<int>(dice.Below(spread));
        break;  // mixed
      case 3:
        times[i] = i % 2 ? step : static_cast<int>(n * spread) - step;
        break;  // zigzag
      default:
        times[i] = static_cast<int>(i % (spread + 1));
        break;  // sawtooth
    }
  }
  return times;
}

std::string GbkCharacter(Dice& dice) {
  std::string c(1, static_cast<char>(0x81 + dice.Below(0x7E)));
  // Trail bytes include '[' and ']', which the byte-wise patterns still see.
  static const std::vector<char> kTrails = {'[', ']', '@', 'a', '\x7E', '\x80', '\xA1', '\xD0', '\xFE'};
  c += dice.Of(kTrails);
  return c;
}

std::string Filler(Dice& dice) {
  static const std::vector<std::string> kPieces = {"la",     " ",
                                                   "\t",     "|",
                                                   "chorus", "床前明月光",
                                                   "　",     "：",
                                                   "［",     "］",
                                                   "1",      ":",
                                                   ".",      "]",
                                                   "[",      "\x81",
                                                   "[1:",    "[01.23.45]",
                                                   "[ti:x]", "[ab:cd]",
                                                   "\v",     "\f",
                                                   "\r",     "\n",
                                                   "[00:0",  std::string(40, '7'),
                                                   "*****"};
  std::string s;
  for (std::size_t i = dice.Below(4); i > 0; --i) s += dice.OneIn(4) ? GbkCharacter(dice) : dice.Of(kPieces);
  return s;
}

std::string IdTag(Dice& dice) {
  static const std::vector<std::string> kIds = {
      "[ti:静夜思]",   "[TI:Upper]", "[ti:two words]",  "[ar:李白]", "[Ar:x]",   "[al:a]b]", "[by:]",
      "[offset:-500]", "[OFFSET:5]", "[offset:+1.5e2]", "[offset:]", "[offs:1]", "[ti:",     "[al:x"};
  return dice.Of(kIds);
}

std::string BlankLine(Dice& dice) {
  static const std::vector<std::string> kBlanks = {"", "", " ", "  ", "\t", "|", " | \t", "\v", "\f", "　"};
  return dice.Of(kBlanks);
}

std::string LyricsFile(Dice& dice) {
  const std::size_t line_count = dice.OneIn(40) ? 200 + dice.Below(200) : dice.Below(25);
  const std::vector<int> times = Times(dice, line_count * 2);
  static const std::vector<std::string> kEnds = {"\r\n", "\r\n", "\r\n", "\r\n", "\n", "\r"};
  const bool one_style = dice.OneIn(3);
  const std::string style = dice.Of(kEnds);
  std::vector<std::string> written;
  std::string file;
  std::size_t next_time = 0;
  for (std::size_t line = 0; line < line_count; ++line) {
    const std::size_t kind = dice.Below(10);
    if (kind == 0) {
      file += BlankLine(dice);
    } else if (kind == 1) {
      file += IdTag(dice) + (dice.OneIn(3) ? TimeTag(dice, times[next_time++]) : "") + Filler(dice);
    } else {
      if (dice.OneIn(6)) file += dice.OneIn(2) ? "\x81" : Filler(dice);
      for (std::size_t tags = dice.Below(4); tags > 0; --tags) {
        if (!written.empty() && dice.OneIn(5)) {
          file += dice.Of(written);  // the same tag again, on another line
        } else {
          written.push_back(TimeTag(dice, times[next_time++ % times.size()]));
          file += written.back();
        }
      }
      file += Filler(dice);
    }
    if (line + 1 < line_count || !dice.OneIn(3)) file += one_style ? style : dice.Of(kEnds);
  }
  return file;
}

// Bytes soup made of the characters the patterns care about.
std::string Soup(Dice& dice) {
  static const std::string kBytes = "[[[]]]:::..0123456789  \t\r\r\n\n\f\v|a\x81\xA1\xD0";
  std::string s;
  for (std::size_t i = dice.Below(120); i > 0; --i) s += kBytes[dice.Below(kBytes.size())];
  return s;
}

std::string Escaped(const std::string& s) {
  std::string out;
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && c != '\\') {
      out += c;
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  }
  return out;
}

void ExpectSameAsReference(const std::string& input) {
  lyrics::SongLyrics expected, actual;
  bool gave_up = false;
  const bool expected_ok = lrc_reference::ParseLyrics(input, expected, gave_up);
  ASSERT_FALSE(gave_up) << Escaped(input);
  ASSERT_EQ(lyrics::ParseLyrics(input, actual), expected_ok) << Escaped(input);
  EXPECT_EQ(actual.count, expected.count) << Escaped(input);
  EXPECT_EQ(actual.times, expected.times) << Escaped(input);
  EXPECT_EQ(actual.texts, expected.texts) << Escaped(input);
  EXPECT_EQ(actual.title, expected.title) << Escaped(input);
  EXPECT_EQ(actual.artist, expected.artist) << Escaped(input);
  EXPECT_EQ(actual.album, expected.album) << Escaped(input);
  EXPECT_EQ(actual.author, expected.author) << Escaped(input);
  EXPECT_EQ(actual.offset, expected.offset) << Escaped(input);
}

TEST(LrcDifferential, GeneratedLyricsFilesMatchTheReference) {
  Dice dice(20240607);
  std::size_t tags = 0;
  for (int i = 0; i < 1500; ++i) {
    const std::string input = LyricsFile(dice);
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(input));
    lyrics::SongLyrics song;
    lyrics::ParseLyrics(input, song);
    tags += song.times.size();
  }
  EXPECT_GT(tags, 10000u);  // the generator really makes tagged files
}

TEST(LrcDifferential, ByteSoupMatchesTheReference) {
  Dice dice(77);
  for (int i = 0; i < 3000; ++i) ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(Soup(dice)));
}

}  // namespace
