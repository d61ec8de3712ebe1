// Start-up and memory: how long lyrimark.exe takes from its start to a shown
// main window, and its working set a second later, beside the stand-in target
// (a plain window with one RichEdit field) as the baseline, in one run:
//   startup_bench.exe <lyrimark.exe> <target.exe> [runs]
// The announcement page is read at every start, so the local site must serve
// (bench/startup_bench.sh starts it).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "caption/stopwatch.h"

namespace {

struct Sample {
  double shownMs = 0;
  double workingSetMb = 0;
};

struct Search {
  DWORD process;
  bool shown;
};

BOOL CALLBACK FindShown(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process == s->process && IsWindowVisible(hwnd) && GetWindowTextLengthW(hwnd) > 0) s->shown = true;
  return !s->shown;
}

// One start: the time until a titled top-level window of the process shows,
// then its working set after a second of idling. The process is ended after.
bool Measure(const std::wstring& exe, const std::wstring& args, Sample& out) {
  std::wstring command = L"\"" + exe + L"\" " + args;
  const std::wstring dir = exe.substr(0, exe.find_last_of(L"\\/"));
  // The target prints its field's handle; that goes to NUL, not into the table.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = nul;
  PROCESS_INFORMATION pi{};
  const caption::Stopwatch since;
  const BOOL started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, dir.c_str(), &si, &pi);
  CloseHandle(nul);
  if (!started) {
    return false;
  }
  Search search{pi.dwProcessId, false};
  for (;;) {
    EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
    out.shownMs = since.ElapsedMs();
    if (search.shown || out.shownMs > 30000) break;
    Sleep(1);
  }
  Sleep(1000);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  K32GetProcessMemoryInfo(pi.hProcess, &memory, sizeof memory);
  out.workingSetMb = static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0);
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return search.shown;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

void Row(const char* name, const std::wstring& exe, const std::wstring& args, int runs) {
  std::vector<double> shown, memory;
  for (int i = 0; i < runs; ++i) {
    Sample s;
    if (!Measure(exe, args, s)) {
      std::printf("%s: no window shown within 30 s\n", name);
      return;
    }
    shown.push_back(s.shownMs);
    memory.push_back(s.workingSetMb);
  }
  std::printf("| %s | %.0f | %.0f | %.0f | %.1f |\n", name, Median(shown), *std::min_element(shown.begin(), shown.end()),
              *std::max_element(shown.begin(), shown.end()), Median(memory));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench <lyrimark.exe> <target.exe> [runs]\n");
    return 2;
  }
  const int runs = argc > 3 ? _wtoi(argv[3]) : 10;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::printf("%d starts each; times from process start to the main window shown\n\n", runs);
  std::printf("| program | median ms | min ms | max ms | working set MB (median) |\n|---|---|---|---|---|\n");
  Row("lyrimark.exe", argv[1], L"", runs);
  Row("stand-in target", argv[2], std::wstring(L"\"") + temp + L"startup-bench-target.log\"", runs);
  return 0;
}
