// A made-up LRC file of any size for the benchmarks: public-domain verses in
// GBK under time tags, arranged the way the parser finds hardest.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace bench {

inline std::string Tag(unsigned centiseconds) {
  const unsigned seconds = centiseconds / 100;
  char tag[32];
  std::snprintf(tag, sizeof tag, "[%02u:%02u.%02u]", seconds / 60, seconds % 60, centiseconds % 100);
  return tag;
}

// A file of about `bytes` bytes with a tag per 50 bytes or so: lines of one
// to three tags and two verses of public-domain poetry, a blank line now and then,
// and times that climb, fall and repeat in turns.
inline std::string MakeLyrics(std::size_t bytes, std::uint32_t seed) {
  static const std::vector<std::string> kVerses = {
      "床前明月光，疑是地上霜。举头望明月，低头思故乡。", "白日依山尽，黄河入海流。",
      "欲穷千里目，更上一层楼。 | 春眠不觉晓，处处闻啼鸟。", "夜来风雨声，花落知多少。",
      "千山鸟飞绝，万径人踪灭。孤舟蓑笠翁，独钓寒江雪。"};
  std::mt19937 dice(seed);
  std::string file = "[ti:静夜思]\r\n[ar:李白]\r\n[by:bench]\r\n[offset:0]\r\n";
  unsigned time = 0;
  std::size_t line = 0;
  while (file.size() < bytes) {
    const unsigned arrangement = static_cast<unsigned>(line / 500 % 3);  // turns of 500 lines
    const std::size_t tags = 1 + dice() % 3;
    for (std::size_t t = 0; t < tags; ++t) {
      const auto step = static_cast<unsigned>(1 + dice() % 300);
      if (arrangement == 0) time += step;                  // climbing
      if (arrangement == 1) time -= std::min(time, step);  // falling
      if (arrangement == 2 && step % 4 == 0) time += 100;  // mostly repeating
      file += Tag(time % 600000);
    }
    file += kVerses[dice() % kVerses.size()];
    file += kVerses[dice() % kVerses.size()];
    file += "\r\n";
    if (dice() % 16 == 0) file += dice() % 2 ? "\r\n" : "  \r\n\r\n";
    ++line;
  }
  return file;
}

}  // namespace bench
