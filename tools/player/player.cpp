// Stand-in for a music player that speaks the Winamp message interface: a
// window of class "Winamp v1.x" whose caption names the song,
// "N. Artist - Title - Winamp" (with " [Paused]" or " [Stopped]" after it),
// and that answers WM_USER with lParam 104 (1 playing, 3 paused, 0 stopped)
// and 105 (wParam 0: the position in ms, -1 when stopped; wParam 1: the song's
// length in s, -1 without a song). The position runs on the player's own clock
// while it plays; at the song's end the player stops.
//
//   player.exe <script> [--loop]
//
// Plays what the script file says, one command a line (UTF-8), taking lines
// as they are added to the file:
//   song <n>|<artist>|<title>|<length ms>   a new song, playing from 0
//   seek <ms>   pause   play   stop
//   wait <ms>   the next command that much later
//   hang <ms>   the window answers nothing for that long, as a hung player
//   close       the player ends
// With --loop the script starts over after its last line (for the demo).
// Writes <script>.hwnd, the window's handle in decimal, once the window is up,
// and <script>.done, how many commands it has carried out, after each one (a
// hang as it begins).
#include <windows.h>
// Builds on the declarations of windows.h.
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../atomic_file.h"

namespace {

enum class State { Stopped, Playing, Paused };

constexpr UINT_PTR kTimer = 1;
constexpr UINT kTickMs = 10;
constexpr int kCommandsPerTick = 100;  // a looping script without waits still lets messages through

HWND g_window = nullptr, g_label = nullptr;
std::wstring g_script;
bool g_loop = false;
std::uint64_t g_read = 0;  // bytes of the script taken so far
long g_done = 0;
double g_next_command_ms = 0;

// The song.
bool g_has_song = false;
std::wstring g_number, g_artist, g_title;
std::int64_t g_length_ms = -1;
State g_state = State::Stopped;
double g_position_ms = 0;  // as of g_since_ms while playing
double g_since_ms = 0;

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double PositionMs() {
  return g_state == State::Playing ? g_position_ms + (NowMs() - g_since_ms) : g_position_ms;
}

// Replaces a file that a test reads, trying again a while as the test may
// hold it open.
void WriteFileAtomically(const std::wstring& path, const std::string& content) {
  stand_in::WriteFileAtomically(path, content, 200, 1);
}

std::wstring Utf8ToWide(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
      CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

void ShowState() {
  std::wstring caption = L"Winamp";
  if (g_has_song) {
    caption = g_number + L". " + g_artist + L" - " + g_title + L" - Winamp";
    if (g_state == State::Paused) caption += L" [Paused]";
    if (g_state == State::Stopped) caption += L" [Stopped]";
  }
  SetWindowTextW(g_window, caption.c_str());
}

// The label under the caption shows the position, once a second.
void ShowPosition() {
  const long seconds = static_cast<long>(PositionMs() / 1000);
  const wchar_t* state = g_state == State::Playing  ? L"playing"
                         : g_state == State::Paused ? L"paused"
                                                    : L"stopped";
  wchar_t text[64];
  std::swprintf(text, 64, L"%ls %ld:%02ld", state, seconds / 60, seconds % 60);
  wchar_t shown[64] = {};
  GetWindowTextW(g_label, shown, 64);
  if (std::wstring(shown) != text) SetWindowTextW(g_label, text);
}

void SetPosition(double ms, State state) {
  g_position_ms = ms;
  g_since_ms = NowMs();
  g_state = state;
  ShowState();
}

// The next whole line of the script, or false when none has been added yet.
bool NextLine(std::string& line) {
  HANDLE file =
      CreateFileW(g_script.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string rest;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(g_read);
  if (SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) rest.append(buffer, got);
  }
  CloseHandle(file);
  const std::size_t end = rest.find('\n');
  if (end == std::string::npos) {
    if (g_loop && rest.empty() && g_read > 0) g_read = 0;  // the next tick starts over
    return false;
  }
  line = rest.substr(0, end);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  g_read += end + 1;
  return true;
}

void ReportDone() {
  WriteFileAtomically(g_script + L".done", std::to_string(g_done));
}

void Carry(const std::string& line) {
  const std::size_t space = line.find(' ');
  const std::string command = line.substr(0, space);
  const std::string argument = space == std::string::npos ? std::string() : line.substr(space + 1);
  const double ms = std::strtod(argument.c_str(), nullptr);
  if (command == "song") {
    std::wstring fields[4];
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
      const std::size_t bar = i < 3 ? argument.find('|', start) : std::string::npos;
      fields[i] =
          Utf8ToWide(argument.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
      start = bar == std::string::npos ? argument.size() : bar + 1;
    }
    g_has_song = true;
    g_number = fields[0];
    g_artist = fields[1];
    g_title = fields[2];
    g_length_ms = std::wcstoll(fields[3].c_str(), nullptr, 10);
    SetPosition(0, State::Playing);
  } else if (command == "seek") {
    SetPosition(ms, g_state);
  } else if (command == "pause") {
    if (g_state == State::Playing) SetPosition(PositionMs(), State::Paused);
  } else if (command == "play") {
    if (g_has_song) SetPosition(g_state == State::Stopped ? 0 : PositionMs(), State::Playing);
  } else if (command == "stop") {
    SetPosition(0, State::Stopped);
  } else if (command == "wait") {
    g_next_command_ms = NowMs() + ms;
  } else if (command == "hang") {
    ReportDone();
    Sleep(static_cast<DWORD>(ms));
  } else if (command == "close") {
    DestroyWindow(g_window);
  }
}

void Tick() {
  if (g_state == State::Playing && g_length_ms >= 0 && PositionMs() >= static_cast<double>(g_length_ms))
    SetPosition(0, State::Stopped);
  std::string line;
  for (int n = 0; n < kCommandsPerTick && g_window && NowMs() >= g_next_command_ms && NextLine(line); ++n) {
    ++g_done;
    Carry(line);
    ReportDone();
  }
  if (g_window) ShowPosition();
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_USER:
      if (lparam == 104) return g_state == State::Playing ? 1 : g_state == State::Paused ? 3 : 0;
      if (lparam == 105 && wparam == 0)
        return g_state == State::Stopped ? -1 : static_cast<LRESULT>(PositionMs());
      if (lparam == 105 && wparam == 1)
        return g_has_song && g_length_ms >= 0 ? static_cast<LRESULT>(g_length_ms / 1000) : -1;
      return 0;
    case WM_TIMER:
      Tick();
      return 0;
    case WM_DESTROY:
      g_window = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) return 2;
  g_script = argv[1];
  g_loop = argc > 2 && std::wstring(argv[2]) == L"--loop";

  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = L"Winamp v1.x";
  RegisterClassW(&window_class);
  // Below the stand-in target, clear of the program's main window.
  g_window = CreateWindowW(window_class.lpszClassName, L"Winamp", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                           580, 380, 420, 90, nullptr, nullptr, instance, nullptr);
  if (!g_window) return 1;
  g_label = CreateWindowW(L"STATIC", L"", WS_CHILD | WS_VISIBLE, 12, 12, 380, 20, g_window, nullptr, instance,
                          nullptr);
  ShowState();
  ShowWindow(g_window, SW_SHOWNOACTIVATE);
  SetTimer(g_window, kTimer, kTickMs, nullptr);
  WriteFileAtomically(g_script + L".hwnd",
                      std::to_string(static_cast<long long>(reinterpret_cast<INT_PTR>(g_window))) + "\n");
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
