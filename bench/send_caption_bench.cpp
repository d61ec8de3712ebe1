// What one delivery costs: SendCaption of a 20-byte text into the stand-in
// target's field, beside PumpWait(10) alone, the pause every delivery is built
// around, and beside the same number of posts without the wait: wall time per
// call, and the messages the receiving window counts (39 plus one per byte are
// posted).
//
//   tests/wine/wine-run.sh <Windows build tree> <tree>/bench/send_caption_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "caption/delivery.h"
#include "caption/stopwatch.h"
#include "caption/waits.h"
#include "win/stand_in_target.h"

namespace {

constexpr int kRuns = 100;
constexpr DWORD kSettleMs = 30;

struct Figures {
  double mean_ms = 0, min_ms = 0, median_ms = 0, max_ms = 0;
};

template <typename Call>
Figures Measure(Call call) {
  std::vector<double> walls;
  for (int i = 0; i < kRuns; ++i) {
    // As between captions, the target gets time to take what it was sent: the
    // figures are the delivery's own, not a queue's backlog.
    Sleep(kSettleMs);
    const caption::Stopwatch wall;
    call();
    walls.push_back(wall.ElapsedMs());
  }
  Figures f;
  for (double w : walls) f.mean_ms += w / kRuns;
  std::sort(walls.begin(), walls.end());
  f.min_ms = walls.front();
  f.median_ms = walls[walls.size() / 2];
  f.max_ms = walls.back();
  return f;
}

void PrintRow(const char* name, const Figures& f) {
  std::printf("%-30s %8.2f %8.2f %8.2f %8.2f\n", name, f.mean_ms, f.min_ms, f.median_ms, f.max_ms);
}

}  // namespace

int main() {
  wintest::StandInTarget target;
  if (!target.started()) {
    std::fprintf(stderr, "the stand-in target did not start\n");
    return 1;
  }
  const std::string text = "春眠不觉晓,ABCDEFGHI";  // 20 bytes in GBK

  const Figures pump = Measure([] { caption::PumpWait(10); });
  const Figures send = Measure([&] { caption::SendCaption(target.field(), text); });

  const std::size_t expected = kRuns * (39 + text.size());
  const std::size_t counted = target.WaitForInputMessages(expected, 30000).size();
  // The same number of posts without the wait: what posting alone costs here.
  const std::string posts(39 + text.size(), 'x');
  const Figures post =
      Measure([&] { caption::PostTextBytes(target.field(), posts, caption::TextKind::kCaption); });

  std::printf("SendCaption, %zu-byte text, %d calls each\n", text.size(), kRuns);
  std::printf("%-30s %8s %8s %8s %8s\n", "", "mean ms", "min ms", "median", "max ms");
  PrintRow("PumpWait(10) alone", pump);
  PrintRow("SendCaption into target.exe", send);
  PrintRow("its 59 posts alone", post);
  std::printf("wall time, SendCaption / PumpWait(10): %.2f (means), %.2f (medians)\n",
              send.mean_ms / pump.mean_ms, send.median_ms / pump.median_ms);
  std::printf("messages counted at the target: %zu, %.2f per call (39 + %zu = %zu expected)\n", counted,
              static_cast<double>(counted) / kRuns, text.size(), 39 + text.size());
  return counted == expected ? 0 : 1;
}
