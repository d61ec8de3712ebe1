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

// A body of unknowable length could be taken whole when it was cut; a range
// that cannot be read is a part the downloader does not take.
TEST(ReadResponseHead, AnUnreadableLengthFailsTheHeadAnUnreadableRangeIsNotGiven) {
  for (const char* bad : {"12x", "-5", "9007199254740993", "99999999999999999999999",
                          "1000\r\nContent-Length: 500", "1000\r\ncontent-length: 12x"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(
        update::ReadResponseHead(std::string("HTTP/1.1 200 OK\r\nContent-Length: ") + bad + "\r\n\r\n"));
  }
  EXPECT_EQ(
      update::ReadResponseHead("HTTP/1.1 200 OK\r\nContent-Length: 9007199254740992\r\n\r\n")->contentLength,
      update::kLargestCount);
  EXPECT_EQ(update::ReadResponseHead("HTTP/1.1 200 OK\r\nContent-Length: 7\r\ncontent-length: 7\r\n\r\n")
                ->contentLength,
            7)
      << "a repeat that agrees";
  for (const char* bad :
       {"bytes 9-5/10", "bytes 0-10/10", "items 0-1/2", "bytes 0-9223372036854775806/9223372036854775807",
        "bytes 0-9007199254740992/*", "bytes 0-9007199254740993/*", "bytes 0-99999999999999999999/*"}) {
    SCOPED_TRACE(bad);
    const auto head =
        update::ReadResponseHead(std::string("HTTP/1.1 206 OK\r\nContent-Range: ") + bad + "\r\n\r\n");
    ASSERT_TRUE(head);
    EXPECT_FALSE(head->hasRange);
    EXPECT_FALSE(update::BodyOf(*head, 0, -1));
  }
}

TEST(ReadResponseHead, ARedirectSaysWhere) {
  for (const int status : {301, 302, 303, 307, 308}) {
    const auto head = update::ReadResponseHead("HTTP/1.1 " + std::to_string(status) +
                                               " Moved\r\nlocation:  /update/new.exe \r\n\r\n");
    ASSERT_TRUE(head);
    EXPECT_TRUE(update::IsRedirect(head->status));
    EXPECT_EQ(head->location, "/update/new.exe");
    EXPECT_FALSE(update::BodyOf(*head, 0, -1));
  }
  EXPECT_FALSE(update::IsRedirect(300)) << "a choice to make, not a place to go";
  EXPECT_FALSE(update::IsRedirect(304));
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
  part.contentLength = 999;
  EXPECT_FALSE(update::BodyOf(part, 0, -1)) << "a length that is not the range's";
  part.contentLength = -1;
  part.rangeLast = 499;
  EXPECT_FALSE(update::BodyOf(part, 0, -1)) << "cut short of the end";
  part.total = -1;
  EXPECT_FALSE(update::BodyOf(part, 0, -1)) << "\"bytes 0-499/*\": the end of a file of unknown size?";
  EXPECT_TRUE(update::BodyOf(part, 0, 499)) << "the part asked for, whatever the file's size";
  EXPECT_FALSE(update::BodyOf({.status = 206}, 0, -1)) << "a part without its range";
  EXPECT_FALSE(update::BodyOf({.status = 404}, 0, -1));
  EXPECT_FALSE(update::BodyOf({.status = 416}, 0, -1));
}

}  // namespace
