#include "caption/delivery.h"

#include "caption/waits.h"
#include "text/convert.h"

namespace caption {

namespace {

// Where the target program's nickname field takes the caret (at the end of its
// text) and where its closing clicks land, in client coordinates.
constexpr int kEntryX = 298, kEntryY = 124;
constexpr int kClosingX = 301, kClosingY = 164;

// Enough to clear any nickname the target program allows; a longer text keeps
// its front part.
constexpr int kBackspaces = 30;

// Gives the target time to take the first closing click before the second.
constexpr int kClosingPauseMs = 10;

// The window that shows the desktop's icons. Each step searches only below the
// previous one: with a null parent FindWindowExA would search the top-level
// windows and could click into an unrelated program.
HWND DesktopIconList() {
  const HWND progman = FindWindowA("Progman", "Program Manager");
  const HWND view = progman ? FindWindowExA(progman, nullptr, "SHELLDLL_DefView", nullptr) : nullptr;
  return view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
}

// Moves the keyboard focus to `window`, even when another thread owns it.
void FocusTarget(HWND window) {
  // Only a thread attached to the owner's input may set the focus to its window;
  // the attachment lasts no longer than needed.
  const DWORD owner = GetWindowThreadProcessId(window, nullptr);
  AttachThreadInput(GetCurrentThreadId(), owner, TRUE);
  SetFocus(window);
  AttachThreadInput(GetCurrentThreadId(), owner, FALSE);
}

// A left click at (x, y) in the window's client coordinates. A null window means
// the desktop icon list; when there is none, the click goes nowhere.
void PostLeftClick(HWND window, int x, int y) {
  if (!window) {
    window = DesktopIconList();
    // A null window would post the click into this program's own queue.
    if (!window) return;
  }
  const LPARAM point = MAKELPARAM(x, y);
  // The move's wParam is 2, not 0: the target program has always been sent
  // exactly this, so it stays.
  PostMessageA(window, WM_MOUSEMOVE, 2, point);
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageA(window, WM_LBUTTONUP, 0, point);
}

// Posted bytes are read in the system's code page: on a Western or a Big5
// system 中文 would arrive as other characters ("ÖÐÎÄ" on code page 1252).
// UTF-16 means the same everywhere.
void PostText(HWND window, std::string_view text, TextKind kind) {
  if (AnsiIsGbk()) return PostTextBytes(window, text, kind);
  // One character message per UTF-16 code unit, through the wide function: a
  // character beyond the BMP arrives as its two surrogates.
  for (char16_t unit : text::GbkToUtf16(text)) PostMessageW(window, WM_CHAR, unit, static_cast<LPARAM>(kind));
}

}  // namespace

void SendCaption(HWND target, std::string_view text, TextKind kind) {
  FocusTarget(target);
  PostLeftClick(target, kEntryX, kEntryY);
  for (int i = 0; i < kBackspaces; ++i) PostMessageA(target, WM_KEYDOWN, VK_BACK, 1);
  PostText(target, text, kind);
  PostLeftClick(target, kClosingX, kClosingY);
  PumpWait(kClosingPauseMs);
  PostLeftClick(target, kClosingX, kClosingY);
}

bool AnsiIsGbk() {
  return GetACP() == 936;
}

void PostTextBytes(HWND window, std::string_view text, TextKind kind) {
  for (char c : text) PostMessageA(window, WM_CHAR, static_cast<unsigned char>(c), static_cast<LPARAM>(kind));
}

}  // namespace caption
