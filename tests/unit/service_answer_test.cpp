#include "lyrics/service_answer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using lyrics::ReadServiceAnswer;

// The service's bytes are UTF-8 whatever this file's literals become.
std::string Utf8(std::u8string_view s) {
  return std::string(s.begin(), s.end());
}

std::string Track(std::string_view name, std::string_view artist, std::string_view synced,
                  std::string_view instrumental = "false") {
  std::string track = "{\"id\":1,\"trackName\":";
  for (const std::string_view part :
       {name, std::string_view(",\"artistName\":"), artist,
        std::string_view(",\"albumName\":\"a\",\"duration\":61.5,\"instrumental\":"), instrumental,
        std::string_view(",\"plainLyrics\":\"p\",\"syncedLyrics\":"), synced, std::string_view("}")})
    track += part;
  return track;
}

// A JSON array of the entries, in order.
std::string Array(std::initializer_list<std::string_view> entries) {
  std::string array = "[";
  for (const std::string_view e : entries) (array += e) += ',';
  array.back() = ']';
  return array;
}

const std::string kGood = Track(Utf8(u8"\"江雪\""), Utf8(u8"\"柳宗元\""), "\"[00:01.00]x\"");

std::vector<std::string> Rows(std::string_view body) {
  std::vector<std::string> rows;
  for (const lyrics::ServiceTrack& t : ReadServiceAnswer(body)) rows.push_back(t.song + "|" + t.singer);
  return rows;
}

TEST(ServiceAnswer, ListsTracksWithSyncedLyricsOnly) {
  const std::string body = Array({
      kGood,
      Track("\"plain\"", "\"a\"", "null"),         // plain lyrics only
      Track("\"inst\"", "\"a\"", "null", "true"),  // instrumental
      Track("\"inst2\"", "\"a\"", "\"[00:01.00]\"", "true"),
      Track("\"blank\"", "\"a\"", "\"\""),
      Track("\"\\u6708\\u5149\\ud834\\udd1e\"", "\"\\ud55c\\uac15\"", "\"[00:02.00]y\""),
  });
  const std::vector<lyrics::ServiceTrack> tracks = ReadServiceAnswer(body);
  ASSERT_EQ(tracks.size(), 2u);
  EXPECT_EQ(tracks[0].song + "|" + tracks[0].singer, "江雪|柳宗元");
  EXPECT_EQ(tracks[0].lyrics, "[00:01.00]x");
  // What GBK lacks is '?' in the list, and whole in the name the file gets.
  EXPECT_EQ(tracks[1].song + "|" + tracks[1].singer, "月光??|??");
  EXPECT_EQ(tracks[1].title, u"月光\U0001D11E");
}

// The answer for one song is the track itself, read as an entry of a search answer is.
TEST(ServiceAnswer, OneSong) {
  const std::optional<lyrics::ServiceTrack> song = lyrics::ReadServiceSong(kGood);
  ASSERT_TRUE(song);
  EXPECT_EQ(song->song + "|" + song->lyrics, "江雪|[00:01.00]x");
  for (const std::string& body :
       {Array({kGood}), Track("\"t\"", "\"a\"", "null"),
        std::string("{\"message\":\"Failed\",\"name\":\"TrackNotFound\",\"statusCode\":404}"),
        kGood.substr(0, 40)}) {
    EXPECT_FALSE(lyrics::ReadServiceSong(body)) << body;
  }
}

TEST(ServiceAnswer, AFieldOfTheWrongTypeSkipsItsTrack) {
  EXPECT_EQ(Rows(Array({Track("1", "\"a\"", "\"[00:01.00]x\""), Track("\"t\"", "null", "\"[00:01.00]x\""),
                        Track("\"t\"", "\"a\"", "[\"[00:01.00]x\"]"),
                        Track("\"t\"", "\"a\"", "\"[00:01.00]x\"", "\"no\""), "7", "\"t\"", "[]", kGood})),
            std::vector<std::string>{"江雪|柳宗元"});
}

TEST(ServiceAnswer, TakesTheFirstTwentyEntries) {
  std::string body = "[0";  // an entry that is no track counts all the same
  for (int i = 0; i < 30; ++i) {
    const std::string name = std::string(1, '"').append(std::to_string(i)).append(1, '"');
    (body += ',') += Track(name, "\"a\"", "\"[00:01.00]x\"");
  }
  const std::vector<std::string> rows = Rows(body + ']');
  ASSERT_EQ(rows.size(), 19u);
  EXPECT_EQ(rows.back(), "18|a");
}

// Each of these answers would list a track but for what is wrong with it as a
// whole: then the source gives nothing, and the program goes on.
TEST(ServiceAnswer, ABrokenAnswerGivesNothing) {
  std::string padded = Array({kGood});
  padded.resize(lyrics::kServiceAnswerLimit, ' ');
  ASSERT_EQ(Rows(padded).size(), 1u);  // at the limit
  const std::string good = Array({kGood}), deep = std::string(100000, '[') + std::string(100000, ']');
  for (const std::string& body : {
           padded + ' ',                                                 // over the limit
           "{\"tracks\":" + good + "}",                                  // no array
           good.substr(0, good.size() / 2),                              // cut in the middle
           good + " x",                                                  // more after the answer
           Array({kGood, "\"\xFF\""}),                                   // no UTF-8
           Array({kGood, "\"\\ud834\""}),                                // half a surrogate pair
           Array({kGood, "{\"duration\":1e400}"}),                       // a number beyond range
           Array({kGood, deep}),                                         // nested without end
           Array({kGood, "[[[[[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]]]]]"}),  // deeper than an answer goes
       }) {
    EXPECT_TRUE(ReadServiceAnswer(body).empty()) << body.substr(0, 80);
  }
}

TEST(ServiceAnswer, AddressAndLyricsFile) {
  EXPECT_EQ(lyrics::ServiceSearchAddress("https://lrclib.net", "江雪 a+b"),
            "https://lrclib.net/api/search?q=%E6%B1%9F%E9%9B%AA%20a%2Bb");
  EXPECT_EQ(lyrics::ServiceSongAddress("https://lrclib.net", "江雪", "A&B", 61),
            "https://lrclib.net/api/get?track_name=%E6%B1%9F%E9%9B%AA&artist_name=A%26B&duration=61");
  EXPECT_EQ(lyrics::ServiceSongAddress("http://s", "x", "", 0), "http://s/api/get?track_name=x&artist_name=");
  const lyrics::ServiceTrack track{"", "", u"",
                                   Utf8(u8"[00:01.00]孤舟\n[00:02.00]蓑笠\r\n[00:03.00]翁\r[00:04.00]")};
  EXPECT_EQ(lyrics::ServiceLyricsFile(track),
            Utf8(u8"\uFEFF[00:01.00]孤舟\r\n[00:02.00]蓑笠\r\n[00:03.00]翁\r\n[00:04.00]"));
  EXPECT_EQ(lyrics::ServicePreviewText(track),
            "[00:01.00]孤舟\r\n[00:02.00]蓑笠\r\n[00:03.00]翁\r\n[00:04.00]");
}

}  // namespace
