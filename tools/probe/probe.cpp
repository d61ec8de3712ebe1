// Looks at the running program from outside, for the end-to-end tests. A test
// tool, not part of the program: it finds the main window and its units the
// way the program made them (control id 100 + the unit's row in the layout).
//
//   probe.exe main                    main window: handle, process id, rect, topmost, shown
//   probe.exe text <unit>             a main-window unit's text
//   probe.exe settext <unit> <text>   replaces a unit's text (WM_SETTEXT)
//   probe.exe rect <unit>             a unit's screen rect and whether it shows
//   probe.exe checked <unit>          1 if a check box is ticked, else 0
//   probe.exe rows <unit>             a list box's rows, one a line
//   probe.exe tab <unit> <page>       screen rect of a tab control's page header (1-based)
//   probe.exe topmost                 1 if the main window is always-on-top, else 0
//   probe.exe windows                 top-level windows of the program: handle class rect visible exstyle
//   probe.exe update [<unit>]         the update window's rect, or a unit's text there
//                                     (the progress bar: its position)
//   probe.exe update --close          asks the update window to close (WM_CLOSE)
//   probe.exe window <handle>         any window: rect, client origin, top-level window, process id, title
//   probe.exe place <handle> <x> <y>  moves the top-level window of that window
//   probe.exe close-window <handle>   asks the top-level window of that window to close
//   probe.exe desktop                 the desktop window's handle
//   probe.exe foreground              handle of the foreground window and of its top-level owner chain root
//   probe.exe cursor                  "showing" or "hidden", as the foreground thread has it
//   probe.exe close                   asks the main window to close (WM_CLOSE)
//   probe.exe dialogs [--close ok|yes|no|cancel]
//                                     message boxes (#32770): handle, title, text; optionally closes them
//   probe.exe watch <log> [--close ok|yes|no|cancel]
//                                     the same every 200 ms until ended, appending to <log>
//
// Texts are UTF-8 on stdout and in arguments. Handles are decimal. The exit code
// is 0 on success, 1 when the window or unit is not there, 2 for bad usage.
// The other Windows headers need windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "forms/layouts.h"
#include "text/convert.h"

namespace {

constexpr UINT kFirstUnitId = 100;
constexpr wchar_t kProgramClass[] = L"LyrimarkWindow";

using Args = std::vector<std::wstring>;

std::string Utf8(const std::wstring& s) {
  return text::Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(s.data()), s.size()));
}

void Print(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

std::string Decimal(HWND window) {
  return std::to_string(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window)));
}

HWND FromDecimal(const std::wstring& s) {
  return reinterpret_cast<HWND>(
      static_cast<INT_PTR>(static_cast<std::int32_t>(std::wcstol(s.c_str(), nullptr, 10))));
}

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
         std::to_string(r.bottom);
}

// GetWindowText reads only the caption a window of another process was made
// with; the current text of a control there takes WM_GETTEXT itself.
std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  length =
      std::min<DWORD_PTR>(length, 4096);  // a window may claim any length (the stand-in target's odd one)
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &got);
  text.resize(std::min<std::size_t>(got, length));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t buffer[256];
  const int n = GetClassNameW(window, buffer, 256);
  return std::wstring(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
}

BOOL CALLBACK Collect(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> all;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

// The row of a main-window unit, or -1.
int UnitRow(const std::wstring& name) {
  const std::string gbk = text::Utf16ToGbk(std::u16string(name.begin(), name.end()));
  const auto& units = forms::kMainLayout.units;
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (units[i].name == gbk) return static_cast<int>(i);
  }
  return -1;
}

// The main window: one of the program's windows that holds the handle field,
// which neither the drag-icon nor the update window has.
HWND MainWindow() {
  const int handleRow = UnitRow(L"编辑框_窗口句柄");
  for (HWND w : TopLevelWindows()) {
    if (ClassOf(w) != kProgramClass) continue;
    HWND field = GetDlgItem(w, static_cast<int>(kFirstUnitId) + handleRow);
    if (field && ClassOf(field) == L"Edit") return w;
  }
  return nullptr;
}

HWND UnitWindow(const std::wstring& name) {
  const int row = UnitRow(name);
  HWND main = MainWindow();
  if (row < 0 || !main) return nullptr;
  return GetDlgItem(main, static_cast<int>(kFirstUnitId) + row);
}

DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

int Fail(const std::string& why) {
  std::fprintf(stderr, "probe: %s\n", why.c_str());
  return 1;
}

int Main(const Args&) {
  HWND main = MainWindow();
  if (!main) return Fail("no main window");
  RECT r;
  GetWindowRect(main, &r);
  const bool topmost = GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST;
  Print(Decimal(main) + " " + std::to_string(ProcessOf(main)) + " " + RectText(r) + " " +
        (topmost ? "1" : "0") + (IsWindowVisible(main) ? " 1" : " 0"));
  return 0;
}

int Text(const Args& a) {
  HWND unit = UnitWindow(a[0]);
  if (!unit) return Fail("no unit");
  Print(Utf8(WindowText(unit)));
  return 0;
}

int SetText(const Args& a) {
  HWND unit = UnitWindow(a[0]);
  if (!unit) return Fail("no unit");
  SendMessageW(unit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[1].c_str()));
  return 0;
}

int Rect(const Args& a) {
  HWND unit = UnitWindow(a[0]);
  if (!unit) return Fail("no unit");
  RECT r;
  GetWindowRect(unit, &r);
  Print(RectText(r) + (IsWindowVisible(unit) ? " 1" : " 0"));
  return 0;
}

int Checked(const Args& a) {
  HWND unit = UnitWindow(a[0]);
  if (!unit) return Fail("no unit");
  Print(SendMessageW(unit, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0");
  return 0;
}

// A list box's rows, one a line (the system carries LB_GETTEXT across processes).
int Rows(const Args& a) {
  HWND list = UnitWindow(a[0]);
  if (!list) return Fail("no unit");
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring row(
        static_cast<std::size_t>(std::max<LRESULT>(SendMessageW(list, LB_GETTEXTLEN, i, 0), 0)) + 1, L'\0');
    row.resize(static_cast<std::size_t>(
        std::max<LRESULT>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data())), 0)));
    Print(Utf8(row));
  }
  return 0;
}

int Tab(const Args& a) {
  HWND tab = UnitWindow(a[0]);
  if (!tab) return Fail("no unit");
  // The item rect comes back through memory the tab control's process can write.
  DWORD process = ProcessOf(tab);
  HANDLE h = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
  if (!h) return Fail("cannot open the program's process");
  void* remote = VirtualAllocEx(h, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  RECT r{};
  const int page = std::wcstol(a[1].c_str(), nullptr, 10) - 1;
  const bool got =
      remote &&
      SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(remote)) &&
      ReadProcessMemory(h, remote, &r, sizeof r, nullptr);
  if (remote) VirtualFreeEx(h, remote, 0, MEM_RELEASE);
  CloseHandle(h);
  if (!got) return Fail("no such page");
  MapWindowPoints(tab, nullptr, reinterpret_cast<POINT*>(&r), 2);
  Print(RectText(r));
  return 0;
}

int Topmost(const Args&) {
  HWND main = MainWindow();
  if (!main) return Fail("no main window");
  Print(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST ? "1" : "0");
  return 0;
}

int Windows(const Args&) {
  HWND main = MainWindow();
  if (!main) return Fail("no main window");
  for (HWND w : TopLevelWindows()) {
    if (ProcessOf(w) != ProcessOf(main)) continue;
    RECT r;
    GetWindowRect(w, &r);
    char ex[16];
    std::snprintf(ex, sizeof ex, "%08lx", static_cast<unsigned long>(GetWindowLongW(w, GWL_EXSTYLE)));
    Print(Decimal(w) + " " + Utf8(ClassOf(w)) + " " + RectText(r) + (IsWindowVisible(w) ? " 1 " : " 0 ") +
          ex);
  }
  return 0;
}

int Window(const Args& a) {
  HWND w = FromDecimal(a[0]);
  if (!IsWindow(w)) return Fail("no such window");
  RECT r;
  GetWindowRect(w, &r);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  Print(RectText(r) + " " + std::to_string(origin.x) + " " + std::to_string(origin.y) + " " +
        Decimal(GetAncestor(w, GA_ROOT)) + " " + std::to_string(ProcessOf(w)) + " " + Utf8(WindowText(w)));
  return 0;
}

// The update window: the program's window with a progress bar at the row of 进度条.
int Update(const Args& a) {
  const auto& units = forms::kUpdateLayout.units;
  const auto rowOf = [&](const std::wstring& name) {
    const std::string gbk = text::Utf16ToGbk(std::u16string(name.begin(), name.end()));
    for (std::size_t i = 0; i < units.size(); ++i) {
      if (units[i].name == gbk) return static_cast<int>(kFirstUnitId + i);
    }
    return -1;
  };
  HWND window = nullptr;
  for (HWND w : TopLevelWindows()) {
    HWND bar = GetDlgItem(w, rowOf(L"进度条"));
    if (ClassOf(w) == kProgramClass && bar && ClassOf(bar) == PROGRESS_CLASSW) window = w;
  }
  if (!window) return Fail("no update window");
  if (a.empty()) {
    RECT r;
    GetWindowRect(window, &r);
    Print(RectText(r));
    return 0;
  }
  if (a[0] == L"--close") {
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
  }
  HWND unit = GetDlgItem(window, rowOf(a[0]));
  if (!unit) return Fail("no unit");
  Print(ClassOf(unit) == PROGRESS_CLASSW ? std::to_string(SendMessageW(unit, PBM_GETPOS, 0, 0))
                                         : Utf8(WindowText(unit)));
  return 0;
}

int CloseWindow(const Args& a) {
  HWND w = FromDecimal(a[0]);
  if (!IsWindow(w)) return Fail("no such window");
  PostMessageW(GetAncestor(w, GA_ROOT), WM_CLOSE, 0, 0);
  return 0;
}

int Place(const Args& a) {
  HWND w = FromDecimal(a[0]);
  if (!IsWindow(w)) return Fail("no such window");
  const int x = std::wcstol(a[1].c_str(), nullptr, 10);
  const int y = std::wcstol(a[2].c_str(), nullptr, 10);
  SetWindowPos(GetAncestor(w, GA_ROOT), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

int Desktop(const Args&) {
  Print(Decimal(GetDesktopWindow()));
  return 0;
}

int Foreground(const Args&) {
  HWND w = GetForegroundWindow();
  Print(Decimal(w) + " " + Decimal(GetAncestor(w, GA_ROOTOWNER)));
  return 0;
}

int Cursor(const Args&) {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  if (!GetCursorInfo(&info)) return Fail("no cursor information");
  Print(info.flags & CURSOR_SHOWING ? "showing" : "hidden");
  return 0;
}

int Close(const Args&) {
  HWND main = MainWindow();
  if (!main) return Fail("no main window");
  PostMessageW(main, WM_CLOSE, 0, 0);
  return 0;
}

// The button a message box is answered with, or 0 for none.
int AnswerOf(const Args& a, std::size_t from) {
  for (std::size_t i = from; i + 1 < a.size(); ++i) {
    if (a[i] != L"--close") continue;
    if (a[i + 1] == L"ok") return IDOK;
    if (a[i + 1] == L"yes") return IDYES;
    if (a[i + 1] == L"no") return IDNO;
    if (a[i + 1] == L"cancel") return IDCANCEL;
  }
  return 0;
}

// Every visible message box: one line each (handle, title, text). Closes them
// with `answer` when it is not 0.
std::vector<std::string> FindDialogs(int answer) {
  std::vector<std::string> lines;
  for (HWND w : TopLevelWindows()) {
    if (ClassOf(w) != L"#32770" || !IsWindowVisible(w)) continue;
    std::wstring body;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (ClassOf(c) == L"Static" && !WindowText(c).empty())
        body += (body.empty() ? L"" : L" | ") + WindowText(c);
    }
    lines.push_back(Decimal(w) + "\t" + Utf8(WindowText(w)) + "\t" + Utf8(body));
    if (answer) PostMessageW(w, WM_COMMAND, static_cast<WPARAM>(answer), 0);
  }
  return lines;
}

int Dialogs(const Args& a) {
  for (const std::string& line : FindDialogs(AnswerOf(a, 0))) Print(line);
  return 0;
}

// The watchdog: logs and answers every message box that appears, until the
// test ends this process.
int Watch(const Args& a) {
  const int answer = AnswerOf(a, 1);
  for (;;) {
    for (const std::string& line : FindDialogs(answer)) {
      if (FILE* log = _wfopen(a[0].c_str(), L"ab")) {
        std::fprintf(log, "%s\n", line.c_str());
        std::fclose(log);
      }
    }
    Sleep(200);
  }
}

struct Command {
  const wchar_t* name;
  std::size_t arguments;  // at least
  int (*run)(const Args&);
};

constexpr Command kCommands[] = {
    {L"main", 0, Main},
    {L"text", 1, Text},
    {L"settext", 2, SetText},
    {L"rect", 1, Rect},
    {L"checked", 1, Checked},
    {L"rows", 1, Rows},
    {L"tab", 2, Tab},
    {L"topmost", 0, Topmost},
    {L"windows", 0, Windows},
    {L"update", 0, Update},
    {L"window", 1, Window},
    {L"place", 3, Place},
    {L"close-window", 1, CloseWindow},
    {L"desktop", 0, Desktop},
    {L"foreground", 0, Foreground},
    {L"cursor", 0, Cursor},
    {L"close", 0, Close},
    {L"dialogs", 0, Dialogs},
    {L"watch", 1, Watch},
};

}  // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);  // UTF-8 bytes and "\n" exactly
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) {
    std::fputs("usage: probe.exe <command> [arguments]\n", stderr);
    return 2;
  }
  const std::wstring name = argv[1];
  const Args args(argv + 2, argv + argc);
  LocalFree(argv);
  for (const Command& c : kCommands) {
    if (name != c.name) continue;
    if (args.size() < c.arguments) {
      std::fputs("probe: missing arguments\n", stderr);
      return 2;
    }
    const int rc = c.run(args);
    std::fflush(stdout);
    return rc;
  }
  std::fputs("probe: unknown command\n", stderr);
  return 2;
}
