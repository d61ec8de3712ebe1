#include "net/read_chunk.h"

#include <gtest/gtest.h>

namespace {

TEST(ReadChunk, LengthPlusOneUpToTheCap) {
  EXPECT_EQ(net::ReadChunkSize("1"), 2u);
  EXPECT_EQ(net::ReadChunkSize("50000"), 50001u);
  EXPECT_EQ(net::ReadChunkSize("102399"), 102400u);
  EXPECT_EQ(net::ReadChunkSize("102400"), 102400u);
  EXPECT_EQ(net::ReadChunkSize("99999999999"), 102400u);
}

TEST(ReadChunk, NoUsableLength) {
  for (const char* length : {"", "0", "-5", "abc", " "})
    EXPECT_EQ(net::ReadChunkSize(length), 10240u) << length;
}

}  // namespace
