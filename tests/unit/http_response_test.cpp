#include "update/http_response.h"

#include <gtest/gtest.h>

namespace {

TEST(RangeRequest, AsksForOneRangeOverHttp10) {
  EXPECT_EQ(update::RangeRequest("h:8080", "/a b?x=1", 100, 199),
            "GET /a%20b?x=1 HTTP/1.0\r\nHost: h:8080\r\n"
            "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\nAccept: */*\r\n"
            "Range: bytes=100-199\r\n\r\n");
  EXPECT_NE(update::RangeRequest("h", "/", 0, -1).find("Range: bytes=0-\r\n"), std::string::npos);
}

TEST(ReadResponseHead, ReadsStatusLengthAndRangeWhateverTheCase) {
  const auto head = update::ReadResponseHead(
      "HTTP/1.1 206 Partial Content\r\ncontent-length: 100\r\nCONTENT-RANGE:  bytes 100-199/1000 \r\n\r\n");
  ASSERT_TRUE(head);
  EXPECT_EQ(head->status, 206);
  EXPECT_EQ(head->contentLength, 100);
  EXPECT_TRUE(head->hasRange);
  EXPECT_EQ(head->rangeFirst, 100);
  EXPECT_EQ(head->rangeLast, 199);
  EXPECT_EQ(head->total, 1000);

  const auto unknownTotal = update::ReadResponseHead("HTTP/1.0 206 OK\nContent-Range: bytes 0-9/*\n\n");
  ASSERT_TRUE(unknownTotal);
  EXPECT_TRUE(unknownTotal->hasRange);
  EXPECT_EQ(unknownTotal->total, -1);

  EXPECT_FALSE(update::ReadResponseHead("ICY 200 OK\r\n\r\n"));
  EXPECT_FALSE(update::ReadResponseHead("HTTP/1.1 abc\r\n\r\n"));
}

TEST(ReadResponseHead, MalformedValuesCountAsNotGiven) {
  for (const char* bad : {"Content-Length: 12x", "Content-Length: -5", "Content-Range: bytes 9-5/10",
                          "Content-Range: bytes 0-10/10", "Content-Range: items 0-1/2"}) {
    SCOPED_TRACE(bad);
    const auto head = update::ReadResponseHead(std::string("HTTP/1.1 206 OK\r\n") + bad + "\r\n\r\n");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->contentLength, -1);
    EXPECT_FALSE(head->hasRange);
  }
}

TEST(HeadLength, CountsUpToTheBlankLine) {
  EXPECT_EQ(update::HeadLength("HTTP/1.1 200 OK\r\nA: b\r\n\r\nbody"), 25u);
  EXPECT_EQ(update::HeadLength("HTTP/1.0 200 OK\n\nbody"), 17u);
  EXPECT_EQ(update::HeadLength("HTTP/1.1 200 OK\r\nA: b\r\n"), 0u);
}

// A part must be exactly the one asked for: bytes from elsewhere of the file
// would be written at the wrong place.
TEST(BodyOf, TakesTheWholeFileOrExactlyThePartAskedFor) {
  update::ResponseHead whole{.status = 200, .contentLength = 1000};
  auto body = update::BodyOf(whole, 0, -1);
  ASSERT_TRUE(body);
  EXPECT_FALSE(body->ranged);
  EXPECT_EQ(body->length, 1000);
  EXPECT_EQ(body->total, 1000);

  update::ResponseHead part{
      .status = 206, .hasRange = true, .rangeFirst = 0, .rangeLast = 999, .total = 1000};
  body = update::BodyOf(part, 0, -1);
  ASSERT_TRUE(body);
  EXPECT_TRUE(body->ranged);
  EXPECT_EQ(body->length, 1000);

  EXPECT_FALSE(update::BodyOf(part, 100, -1)) << "another start";
  EXPECT_FALSE(update::BodyOf(part, 0, 499)) << "another end";
  part.rangeLast = 499;
  EXPECT_FALSE(update::BodyOf(part, 0, -1)) << "cut short of the end";
  EXPECT_FALSE(update::BodyOf({.status = 206}, 0, -1)) << "a part without its range";
  EXPECT_FALSE(update::BodyOf({.status = 404}, 0, -1));
  EXPECT_FALSE(update::BodyOf({.status = 416}, 0, -1));
}

}  // namespace
