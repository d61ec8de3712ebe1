// Reading the lyrics site's result page: the hand-written reader beside
// Boost.Regex running the site's pattern, on the same pages in one run; and
// the lyrics service's answer of 20 tracks with long synced lyrics beside the
// site's 300-result page, each from its body to the rows. Prints tables for
// bench/RESULTS.md.
#include <boost/regex.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <tuple>

#include "lyrics/search_page.h"
#include "lyrics/service_answer.h"
#include "text/convert.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kOpening[] = "<font size=\"-1\">";
constexpr char kClosing[] = "LRC歌词下载</a>";

// A page as the site writes it: `results` rows amid ordinary markup.
std::string NormalPage(int results) {
  std::string page = "<html><head><title>歌词搜索</title></head><body><table>\r\n";
  for (int i = 0; i < results; ++i) {
    const std::string n = std::to_string(i);
    page += "<tr><td><font size=\"-1\"><a href=\"/lrc/" + n + ".lrc\">http://127.0.0.1:18081/lrc/" + n +
            ".lrc</font></td><td><a href=\"/lrc/" + n + ".lrc\">佚名 古诗第" + n + "首 " + kClosing +
            "</td><td>简介：床前明月光，疑是地上霜。举头望明月，低头思故乡。</td></tr>\r\n";
  }
  return page + "</table></body></html>";
}

// `openings` blocks of 100 bytes, each an opening and near misses of the
// closing but never the closing itself, so every search for it really compares.
std::string HostilePage(int openings) {
  std::string block = std::string(kOpening) + "<a href=\"/lrc/0.lrc\">佚名 古诗 LRC歌词下载</b>";
  block.resize(100, 'L');
  std::string page;
  page.reserve(block.size() * static_cast<std::size_t>(openings));
  for (int i = 0; i < openings; ++i) page += block;
  return page;
}

struct Run {
  double seconds = 0;
  std::size_t rows = 0;
  std::string failure;  // why there is no row count
};

Run Timed(const std::function<std::size_t()>& read) {
  Run run;
  const auto start = Clock::now();
  try {
    run.rows = read();
  } catch (const std::exception& e) {
    run.failure = std::string("threw \"") + e.what();
    run.failure.resize(std::min<std::size_t>(run.failure.size(), 60));
    run.failure += "...\"";
  }
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return run;
}

Run Best(int repeats, const std::function<std::size_t()>& read) {
  Run best = Timed(read);
  for (int i = 1; i < repeats && best.failure.empty(); ++i) {
    const Run run = Timed(read);
    if (run.seconds < best.seconds) best = run;
  }
  return best;
}

// Runs `read` on a thread of its own and waits at most `limit` seconds. A run
// that takes longer is left behind; the process ends without waiting for it.
bool abandoned = false;
Run Bounded(std::function<std::size_t()> read, double limit) {
  auto done = std::make_shared<std::promise<Run>>();
  std::future<Run> result = done->get_future();
  std::thread([read = std::move(read), done] { done->set_value(Timed(read)); }).detach();
  if (result.wait_for(std::chrono::duration<double>(limit)) == std::future_status::ready) return result.get();
  abandoned = true;
  Run run;
  run.seconds = limit;
  run.failure = "still running, given up";
  return run;
}

// The service's answer to a search: `tracks` tracks of `lines` synced lines
// each, in UTF-8, as the service writes it (LF line ends, escaped in JSON).
std::string ServiceAnswer(int tracks, int lines) {
  std::string answer = "[";
  for (int t = 0; t < tracks; ++t) {
    std::string synced;
    for (int i = 0; i < lines; ++i) {
      char tag[16];
      std::snprintf(tag, sizeof tag, "[%02d:%02d.%02d]", i * 3 / 60 % 100, i * 3 % 60, i % 100);
      synced += tag + std::string("床前明月光，疑是地上霜。举头望明月，低头思故乡。\\n");
    }
    if (t > 0) answer += ',';
    answer +=
        "{\"id\":" + std::to_string(t) + ",\"name\":\"古诗第" + std::to_string(t) +
        "首\",\"trackName\":\"古诗第" + std::to_string(t) +
        "首\",\"artistName\":\"佚名\",\"albumName\":\"唐诗\",\"duration\":" + std::to_string(lines * 3) +
        ",\"instrumental\":false,\"plainLyrics\":null,\"syncedLyrics\":\"" + synced + "\"}";
  }
  return text::GbkToUtf8(answer + "]");
}

// The site's way from a result page's body to the rows, as the search goes it.
std::size_t SiteRows(const std::string& body) {
  return lyrics::ReadResultPage(lyrics::ResultPageText(body)).size();
}

std::size_t ReadByHand(const std::string& page) {
  return lyrics::ReadResultPage(page).size();
}

std::size_t ReadByRegex(const std::string& page) {
  static const boost::regex pattern(std::string(kOpening) + "(.*?)" + kClosing);
  std::size_t rows = 0;
  for (boost::sregex_iterator it(page.begin(), page.end(), pattern), end; it != end; ++it) ++rows;
  return rows;
}

std::string Rate(double mb, double seconds) {
  char text[32];
  const double rate = mb / seconds;
  std::snprintf(text, sizeof text, rate >= 10 ? "%.0f MB/s" : "%.2f MB/s", rate);
  return text;
}

void Print(const std::string& name, std::size_t bytes, const Run& hand, const Run& regex) {
  const double mb = static_cast<double>(bytes) / 1e6;
  std::printf("| %s | %.2f MB | %zu rows, %.3f ms (%s) | ", name.c_str(), mb, hand.rows, hand.seconds * 1e3,
              Rate(mb, hand.seconds).c_str());
  if (regex.failure.empty()) {
    std::printf("%zu rows, %.3f ms (%s) | %.1fx |\n", regex.rows, regex.seconds * 1e3,
                Rate(mb, regex.seconds).c_str(), regex.seconds / hand.seconds);
  } else {
    std::printf("%s after %.1f s | - |\n", regex.failure.c_str(), regex.seconds);
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const double limit = argc > 1 ? std::atof(argv[1]) : 30.0;  // seconds Boost.Regex may take per page
  {
    const std::string site = text::GbkToUtf8(NormalPage(300)), service = ServiceAnswer(20, 200);
    const Run siteRun = Best(50, [&] { return SiteRows(site); });
    const Run serviceRun = Best(50, [&] { return lyrics::ReadServiceAnswer(service).size(); });
    std::printf("| body, to the rows | size | rows, time | rate |\n|---|---|---|---|\n");
    for (const auto& [name, body, run] :
         {std::tuple{"site: 300 results", &site, siteRun},
          std::tuple{"service: 20 tracks of 200 lines", &service, serviceRun}}) {
      const double mb = static_cast<double>(body->size()) / 1e6;
      std::printf("| %s | %.2f MB | %zu rows, %.3f ms | %s |\n", name, mb, run.rows, run.seconds * 1e3,
                  Rate(mb, run.seconds).c_str());
    }
  }
  std::printf("\n| page | size | reader | Boost.Regex | regex / reader |\n|---|---|---|---|---|\n");
  for (const int results : {300, 30000}) {
    const std::string page = NormalPage(results);
    const int repeats = results < 1000 ? 50 : 5;
    Print(std::to_string(results) + " results", page.size(), Best(repeats, [&] { return ReadByHand(page); }),
          Best(repeats, [&] { return ReadByRegex(page); }));
  }
  // The hostile pages last: a regular expression given up on keeps a core busy.
  for (const int openings : {1000, 10000, 100000}) {
    // Kept to the end of the process: an abandoned run may still read it.
    const auto* page = new std::string(HostilePage(openings));
    const Run hand = Best(3, [&] { return ReadByHand(*page); });
    const Run regex = abandoned ? Run{0, 0, "not tried (a smaller page was given up)"}
                                : Bounded([page] { return ReadByRegex(*page); }, limit);
    Print(std::to_string(openings) + " openings, no closing", page->size(), hand, regex);
  }
  std::fflush(stdout);
  std::_Exit(0);  // without waiting for an abandoned run
}
