// Stand-in for the chat client that Lyrimark writes into: a window whose
// nickname field is a RichEdit control, as the client's is.
//
//   target.exe <log file> [--odd-windows]
//
// Writes, next to the log:
//   <log>.hwnd   the field's handle in decimal (also printed on stdout), written
//                once the window is up, so its presence means "ready";
//   <log>.odd    with --odd-windows, before <log>.hwnd: the handles of two more
//                windows, in decimal on one line, that answer a finder badly:
//                one claims a title 0x7FFFFFFF characters long, the other's
//                thread takes no more messages (a hung program);
//   <log>.text   the field's text in GBK, rewritten after it changes, as soon
//                as no more messages wait.
// The log gets one line per message that the field takes from the queue:
//   <message> <wParam> <lParam> <ms since start> <ms since start by the message's time stamp>
// the first three in hex, the times in decimal. A character message's wParam is
// a byte where the system's ANSI code page is 936, else a UTF-16 code unit (see
// the message loop). The time stamp is when the message was posted, so gaps
// between posts show even when this process runs late.
// The field also answers WM_GETTEXT itself.
#include <windows.h>
// These two build on the declarations of windows.h.
#include <richedit.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "../atomic_file.h"

namespace {

// Tried once: the text file is written again at the next idle moment.
using stand_in::WriteFileAtomically;

// Where the field lies in the window, and the width its text wraps at. The
// sender's fixed points (298,124) and (301,164) fall inside the field, below
// and right of any nickname of up to 30 characters, so a click there puts the
// caret after the text, as it does in the client.
constexpr int kFieldX = 12, kFieldY = 36, kFieldWidth = 420, kFieldHeight = 220;
constexpr int kWrapWidth = 290;

HWND g_field = nullptr;
HANDLE g_log = INVALID_HANDLE_VALUE;
std::wstring g_text_path;
bool g_text_changed = true;  // so the empty field is reported too
LARGE_INTEGER g_start_counter, g_frequency;
DWORD g_start_tick = 0;

void LogMessage(const MSG& msg) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const double ms = 1000.0 * static_cast<double>(now.QuadPart - g_start_counter.QuadPart) /
                    static_cast<double>(g_frequency.QuadPart);
  const long posted_ms = static_cast<long>(msg.time - g_start_tick);
  char line[128];
  const int n = std::snprintf(line, sizeof line, "0x%04x 0x%llx 0x%llx %.3f %ld\n", msg.message,
                              static_cast<unsigned long long>(msg.wParam),
                              static_cast<unsigned long long>(msg.lParam), ms, posted_ms);
  // One unbuffered write per line: a reader sees every message handled so far.
  DWORD written = 0;
  WriteFile(g_log, line, static_cast<DWORD>(n), &written, nullptr);
}

bool ReportText() {
  const int length = GetWindowTextLengthW(g_field);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(g_field, text.data(), length + 1)));
  const int size =
      WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string gbk(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), gbk.data(), size, nullptr, nullptr);
  return WriteFileAtomically(g_text_path, gbk);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lparam) == g_field && HIWORD(wparam) == EN_CHANGE) g_text_changed = true;
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

HWND CreateTargetWindow(HINSTANCE instance) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = L"LyrimarkStandInTarget";
  RegisterClassW(&window_class);

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, kFieldX * 2 + kFieldWidth, kFieldY + kFieldHeight + kFieldX};
  AdjustWindowRect(&frame, style, FALSE);
  // Away from the screen's centre, where an idle pointer would send the field
  // mouse moves of its own, and clear of the program's main window.
  HWND window =
      CreateWindowW(window_class.lpszClassName, L"Lyrimark 测试目标", style, 580, 40,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (!window) return nullptr;
  CreateWindowW(L"STATIC", L"昵称：", WS_CHILD | WS_VISIBLE, kFieldX, 12, 200, 20, window, nullptr, instance,
                nullptr);
  g_field = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE,
                            kFieldX, kFieldY, kFieldWidth, kFieldHeight, window, nullptr, instance, nullptr);
  if (!g_field) return nullptr;
  // Wrapping short of the fixed points keeps the text's end left of them
  // however wide its characters are.
  RECT wrap{2, 2, kWrapWidth, kFieldHeight - 8};
  SendMessageW(g_field, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&wrap));
  SendMessageW(g_field, EM_SETEVENTMASK, 0, ENM_CHANGE);
  return window;
}

// Below the program's main window, where no other drag passes: a window that
// hangs never paints over what a drag leaves on it.
constexpr int kOddLeft = 40, kOddTop = 640, kOddWidth = 200, kOddHeight = 80;

LRESULT CALLBACK AbsurdTitleProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // WM_GETTEXT still copies the real title, as far as the buffer goes.
  if (message == WM_GETTEXTLENGTH) return 0x7FFFFFFF;
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND CreateOddWindow(const wchar_t* class_name, WNDPROC proc, const wchar_t* title, int left) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = proc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = class_name;
  RegisterClassW(&window_class);
  return CreateWindowW(class_name, title, WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, left, kOddTop, kOddWidth,
                       kOddHeight, nullptr, nullptr, window_class.hInstance, nullptr);
}

struct HungWindow {
  HWND window = nullptr;
  HANDLE made = CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

// Makes its window, lets it show, and never takes a message again.
DWORD WINAPI HungThread(void* param) {
  auto* hung = static_cast<HungWindow*>(param);
  hung->window =
      CreateOddWindow(L"LyrimarkHungWindow", DefWindowProcW, L"挂起的窗口", kOddLeft + kOddWidth + 20);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  SetEvent(hung->made);
  Sleep(INFINITE);
  return 0;
}

std::string Decimal(HWND window) {
  return std::to_string(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window)));
}

// The two odd windows, their handles written to <log>.odd; false if they could not be made.
bool CreateOddWindows(const std::wstring& log_path) {
  const HWND absurd = CreateOddWindow(L"LyrimarkAbsurdTitle", AbsurdTitleProc, L"长度离谱的标题", kOddLeft);
  static HungWindow hung;
  HANDLE thread = CreateThread(nullptr, 0, HungThread, &hung, 0, nullptr);
  if (!absurd || !thread) return false;
  CloseHandle(thread);
  return WaitForSingleObject(hung.made, 10000) == WAIT_OBJECT_0 && hung.window &&
         WriteFileAtomically(log_path + L".odd", Decimal(absurd) + " " + Decimal(hung.window) + "\n");
}

// The handle as the sender reads it: the 32-bit value in decimal.
void AnnounceHandle(const std::wstring& log_path) {
  const std::string text = Decimal(g_field) + "\n";
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
  WriteFileAtomically(log_path + L".hwnd", text);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  QueryPerformanceFrequency(&g_frequency);
  QueryPerformanceCounter(&g_start_counter);
  g_start_tick = GetTickCount();

  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const bool odd_windows = argv && argc == 3 && std::wstring(argv[2]) == L"--odd-windows";
  if (!argv || argc != (odd_windows ? 3 : 2)) {
    std::fputs("usage: target.exe <log file> [--odd-windows]\n", stderr);
    return 2;
  }
  const std::wstring log_path = argv[1];
  LocalFree(argv);
  g_text_path = log_path + L".text";

  g_log = CreateFileW(log_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (g_log == INVALID_HANDLE_VALUE || !LoadLibraryW(L"msftedit.dll")) {
    std::fputs("target: cannot open the log or load msftedit.dll\n", stderr);
    return 1;
  }
  HWND window = CreateTargetWindow(instance);
  if (!window) {
    std::fputs("target: cannot create the window\n", stderr);
    return 1;
  }
  ShowWindow(window, show);
  UpdateWindow(window);
  if (odd_windows && !CreateOddWindows(log_path)) {
    std::fputs("target: cannot create the odd windows\n", stderr);
    return 1;
  }
  AnnounceHandle(log_path);

  // The loop takes the messages in the form the sender posts them on this
  // system, so the log shows each as it was posted. Where the ANSI code page is
  // 936 the sender posts bytes: the ANSI loop gives a character posted as two
  // bytes as those two bytes, lead byte first, and the dispatch joins them into
  // one character for the Unicode field. Elsewhere the sender posts UTF-16,
  // which only the Unicode loop passes on as it came (the ANSI loop would turn
  // every character outside the system's code page into '?'), as in any
  // Unicode program.
  //
  // No TranslateMessage: it would answer every posted Backspace key-down with a
  // WM_CHAR 8 of its own, queued behind the posted characters, so the log would
  // show messages nobody posted. The RichEdit field erases on the key-down
  // itself and ignores a Backspace character, so its text is the same either way.
  const bool ansi = GetACP() == 936;
  const auto peek = ansi ? PeekMessageA : PeekMessageW;
  const auto get = ansi ? GetMessageA : GetMessageW;
  const auto dispatch = ansi ? DispatchMessageA : DispatchMessageW;
  MSG msg;
  for (;;) {
    // The text is reported once the queue runs dry, not after every character:
    // a file write per message would slow the target far below the sender.
    if (g_text_changed && !peek(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      g_text_changed = !ReportText();
      // Try again shortly, or as soon as a message comes.
      if (g_text_changed) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      continue;
    }
    if (get(&msg, nullptr, 0, 0) <= 0) break;
    if (msg.hwnd == g_field) LogMessage(msg);
    dispatch(&msg);
  }
  CloseHandle(g_log);
  return 0;
}
