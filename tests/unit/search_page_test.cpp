#include "lyrics/search_page.h"

#include <gtest/gtest.h>

#include <boost/regex.hpp>
#include <random>

namespace {

TEST(Query, SendsUtf8PercentEncoded) {
  EXPECT_EQ(lyrics::EncodeQueryValue("静夜思"), "%E9%9D%99%E5%A4%9C%E6%80%9D");
  EXPECT_EQ(lyrics::EncodeQueryValue("a b+c_d-e"), "a%20b%2Bc_d-e");
  EXPECT_EQ(lyrics::EncodeQueryValue("*,-./09@AZaz_"), "*,-./09@AZaz_");
  EXPECT_EQ(lyrics::EncodeQueryValue(":;<=>?[\\]^`{|}~!\"#$%&'()\x01\x7F"),
            "%3A%3B%3C%3D%3E%3F%5B%5C%5D%5E%60%7B%7C%7D%7E%21%22%23%24%25%26%27%28%29%01%7F");
  EXPECT_EQ(lyrics::EncodeQueryValue(std::string("a\0b", 3)), "a");
}

TEST(Query, AddressAsksForAllFields) {
  EXPECT_EQ(lyrics::SearchAddress("http://h:1", "月 光"),
            "http://h:1/?keyword=%E6%9C%88%20%E5%85%89&field=all");
  EXPECT_EQ(lyrics::SearchAddress("http://h:1", ""), "http://h:1/?keyword=&field=all");
}

TEST(ResultPage, TextIsGbkUpToTheFirstZero) {
  EXPECT_EQ(lyrics::ResultPageText(std::string("\xE6\x9C\x88\xC3\x80 x\0y", 8)), "月? x");
  EXPECT_TRUE(lyrics::IsNoResultPage("<p>对不起，没有找到相关歌词</p>"));
  EXPECT_FALSE(lyrics::IsNoResultPage("没有找到"));
}

std::string Result(std::string_view address, std::string_view names) {
  return "<font size=\"-1\"><a href=\"#\">" + std::string(address) + "</font> <a>" + std::string(names) +
         "LRC歌词下载</a>";
}

TEST(ResultPage, ReadsSingerSongAndAddress) {
  const std::string page = "<html>" + Result("http://h/1.lrc", "李白 静夜思 ") + "\r\n" +
                           Result("http://h/2.lrc", "佚名 茉莉花 ") + "</html>";
  const auto results = lyrics::ReadResultPage(page);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].singer, "李白");
  EXPECT_EQ(results[0].song, "静夜思");
  EXPECT_EQ(results[0].address, "http://h/1.lrc");
  EXPECT_EQ(results[1].song, "茉莉花");
  EXPECT_EQ(results[1].address, "http://h/2.lrc");
}

TEST(ResultPage, OddResultsKeepTheirRow) {
  const auto results = lyrics::ReadResultPage(
      Result("a1", "独唱") +                                         // one name piece
      Result("a2", "甲  乙") +                                       // empty piece between blanks
      "<font size=\"-1\">x>no font end LRC歌词下载</a>" +            // no "</font>"
      "<font size=\"-1\">></font>甲 乙LRC歌词下载</a>" +             // '>' only at the first byte
      "<font size=\"-1\"><font size=\"-1\">内 层 LRC歌词下载</a>");  // leftmost opening counts
  ASSERT_EQ(results.size(), 5u);
  EXPECT_EQ(results[0].singer, "独唱");
  EXPECT_EQ(results[0].song, "");
  EXPECT_EQ(results[0].address, "a1");
  EXPECT_EQ(results[1].song, "");
  EXPECT_EQ(results[2].address, "");
  EXPECT_EQ(results[2].singer, "no");
  EXPECT_EQ(results[3].address, "");
  EXPECT_EQ(results[3].song, "乙");
  EXPECT_EQ(results[4].song, "层");
  EXPECT_EQ(results[4].address, "");
}

// The reader must give what the site's pattern gives when run as a regular
// expression; random pages made of the pattern's own pieces find the corners.
TEST(ResultPage, AgreesWithTheRegularExpression) {
  const boost::regex pattern("<font size=\"-1\">(.*?)LRC歌词下载</a>");
  const char* pieces[] = {"<font size=\"-1\">",
                          "LRC歌词下载</a>",
                          "</font>",
                          ">",
                          " ",
                          "\r\n",
                          "歌",
                          "LRC歌词",
                          "<font size=\"-1\"",
                          "a",
                          "\x81",
                          "</a>"};
  std::mt19937 dice(7);
  for (int round = 0; round < 500; ++round) {
    std::string page;
    const int count = static_cast<int>(dice() % 24);
    for (int i = 0; i < count; ++i) page += pieces[dice() % std::size(pieces)];
    std::vector<lyrics::SearchResult> expected;
    for (boost::sregex_iterator it(page.begin(), page.end(), pattern), end; it != end; ++it) {
      const std::string group = (*it)[1];
      expected.push_back(lyrics::ReadResultPage("<font size=\"-1\">" + group + "LRC歌词下载</a>").at(0));
    }
    const auto results = lyrics::ReadResultPage(page);
    ASSERT_EQ(results.size(), expected.size()) << page;
    for (std::size_t i = 0; i < results.size(); ++i) {
      EXPECT_EQ(results[i].singer, expected[i].singer) << page;
      EXPECT_EQ(results[i].song, expected[i].song) << page;
      EXPECT_EQ(results[i].address, expected[i].address) << page;
    }
  }
}

TEST(ResultPage, OpeningsWithoutClosingGiveNothing) {
  std::string page;
  for (int i = 0; i < 1000; ++i) page += "<font size=\"-1\">x";
  EXPECT_TRUE(lyrics::ReadResultPage(page).empty());
  EXPECT_TRUE(lyrics::ReadResultPage("").empty());
}

TEST(Preview, SplitsLinesAtTheClosingBracket) {
  const auto rows = lyrics::SplitPreview(
      "[ti:静夜思]\r\n[00:01.00]床前明月光\r\n\r\n无标签\r\n[00:02.00][00:09.00]疑是\r\n[00:03.00]\x81]"
      "\r\n[00:04.00]末行");
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].time, "[00:01.00");
  EXPECT_EQ(rows[0].text, "床前明月光");
  EXPECT_EQ(rows[1].text, "[00:09.00");
  EXPECT_EQ(rows[2].text, "\x81]");  // one character, not a second bracket
  EXPECT_EQ(rows[3].text, "末行");
}

// The hidden box takes 256 KB of a downloaded text, never half a character.
TEST(Preview, TheBoxTakesTheFirstPartBetweenCharacters) {
  EXPECT_EQ(lyrics::DownloadBoxText("[00:01.00]短"), "[00:01.00]短");
  const std::string text = "x" + std::string(200000, '\xD6') + "中文";  // D6 D6 ... pairs from byte 1
  EXPECT_EQ(lyrics::DownloadBoxText(text).size(), 1 + 200000 + 4u);
  const std::string large = std::string(256 * 1024 - 1, 'x') + "中文";
  EXPECT_EQ(lyrics::DownloadBoxText(large), std::string(256 * 1024 - 1, 'x'));
}

}  // namespace
