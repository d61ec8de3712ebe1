#include <gtest/gtest.h>

#include "text/gbk.h"
#include "text/numbers.h"

namespace {

TEST(Literals, AreGbkBytes) {
  // The build turns UTF-8 literals into GBK; everything else relies on it.
  EXPECT_EQ(std::string("中"), "\xD6\xD0");
  EXPECT_EQ(std::string("歌词"), "\xB8\xE8\xB4\xCA");
  EXPECT_EQ(std::string("　"), "\xA1\xA1");
}

}  // namespace
