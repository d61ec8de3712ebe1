// A whole search under Wine against the local site and the local lyrics
// service: the site alone (the service switched off, as a build without it),
// the service's request and reading alone, and both at once as the program
// searches, in turns, for "月", which both find. Each source can be made to
// answer slowly (the site's delay control), so that their overlap shows. The
// combined search should take no longer than the slower source alone plus 10 %.
//
//   bench/search_bench.sh [Windows build tree]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "caption/stopwatch.h"
#include "forms/main_form.h"
#include "lyrics/online_search.h"
#include "lyrics/service_answer.h"
#include "lyrimark/config.h"
#include "net/fetch_page.h"
#include "net/http_get.h"
#include "win/lyrics_window.h"

namespace {

constexpr int kRounds = 7;

double Median(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

// Times `run`, which must give `rows`; -1 when it gave another number.
double Timed(const std::function<int()>& run, int rows) {
  const caption::Stopwatch watch;
  const int got = run();
  const double ms = watch.ElapsedMs();
  if (got != rows) std::printf("(expected %d rows, got %d)\n", rows, got);
  return got == rows ? ms : -1;
}

int WholeSearch(std::string_view service) {
  lyrics::UseLyricsService(service);
  forms::main::欲下载列表().Clear();
  lyrics::SearchLyrics();
  return forms::main::欲下载列表().RowCount();
}

int ServiceAlone() {
  const auto answer = net::HttpGet(lyrics::ServiceSearchAddress(LYRIMARK_LRCLIB_URL, "月"), "search_bench",
                                   lyrics::kServiceAnswerLimit);
  return answer && answer->status == 200 ? static_cast<int>(lyrics::ReadServiceAnswer(answer->body).size())
                                         : -1;
}

}  // namespace

int main() {
  if (!wintest::OpenMainWindow()) return 1;
  forms::main::欲搜索内容().SetText("月");
  const std::string maker = LYRIMARK_HOME_URL;
  std::printf(
      "| delays (site, service) | site alone | service alone | both at once | both / slower alone |\n"
      "|---|---|---|---|---|\n");
  bool failed = false;
  const std::pair<int, int> delays[] = {{0, 0}, {300, 300}, {100, 400}, {400, 100}};
  for (const auto& [site, service] : delays) {
    net::FetchPage(maker + "_control/delay?lyrics=" + std::to_string(site) +
                   "&service=" + std::to_string(service));
    std::vector<double> siteMs, serviceMs, bothMs;
    WholeSearch(LYRIMARK_LRCLIB_URL);  // a first search opens what later ones reuse
    for (int i = 0; i < kRounds; ++i) {
      siteMs.push_back(Timed([] { return WholeSearch(""); }, 2));
      serviceMs.push_back(Timed(ServiceAlone, 3));
      bothMs.push_back(Timed([] { return WholeSearch(LYRIMARK_LRCLIB_URL); }, 5));
    }
    const double slower = std::max(Median(siteMs), Median(serviceMs)), both = Median(bothMs);
    std::printf("| %d ms, %d ms | %.1f ms | %.1f ms | %.1f ms | %.2f |\n", site, service, Median(siteMs),
                Median(serviceMs), both, both / slower);
    std::fflush(stdout);
    failed = failed || std::min({*std::min_element(siteMs.begin(), siteMs.end()),
                                 *std::min_element(serviceMs.begin(), serviceMs.end()),
                                 *std::min_element(bothMs.begin(), bothMs.end())}) < 0;
  }
  net::FetchPage(maker + "_control/delay?lyrics=0&service=0");
  lyrics::UseLyricsService(LYRIMARK_LRCLIB_URL);
  return failed ? 1 : 0;
}
