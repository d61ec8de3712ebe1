#include "finder/input_hook.h"

#include <algorithm>
#include <array>
#include <functional>

#include "ui/guard.h"
#include "ui/win32.h"

namespace finder {

std::optional<HOOK类> InputHook;

namespace {

// The messages that have a slot, in the order they are looked up.
constexpr std::array<UINT, 9> kSlotMessages = {
    WM_LBUTTONDBLCLK, WM_KEYDOWN,   WM_KEYUP,       WM_LBUTTONDOWN, WM_LBUTTONUP,
    WM_RBUTTONDOWN,   WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP,
};

// A press this soon after a release counts as a double click.
constexpr DWORD kDoubleClickMs = 500;

// One program-wide hook: the procedures below are plain functions, so the
// slots and handles live here rather than in the object.
std::array<InputHandler, kSlotMessages.size()> g_slots{};
HHOOK g_mouseHook = nullptr;
HHOOK g_keyboardHook = nullptr;
DWORD g_lastRelease = 0;  // time stamp of the last left-button release

// What the system records of one input event, as the handlers get it.
struct InputEvent {
  UINT message = 0;
  std::int32_t paramL = 0;
  std::int32_t paramH = 0;
  DWORD time = 0;
  HWND window = nullptr;
};

InputHandler* SlotOf(UINT message) {
  const auto at = std::ranges::find(kSlotMessages, message);
  return at == kSlotMessages.end() ? nullptr : &g_slots[static_cast<std::size_t>(at - kSlotMessages.begin())];
}

void Dispatch(const InputEvent& e) {
  const auto call = [&e](UINT slot) {
    if (const InputHandler handler = *SlotOf(slot)) handler(ui::HandleValue(e.window), e.paramL, e.paramH);
  };
  if (e.message == WM_LBUTTONUP) g_lastRelease = e.time;
  call(e.message);
  // Read the slot only now: the press handler may have changed it. The
  // unsigned difference stays right across the counter's wrap.
  if (e.message == WM_LBUTTONDOWN && e.time - g_lastRelease < kDoubleClickMs) call(WM_LBUTTONDBLCLK);
}

// Whether the event would reach a handler or the release time: the pointer
// moves hundreds of times a second, and finding its window costs a hit test.
// Every message it lets through has a slot.
bool Wanted(UINT message) {
  if (message == WM_LBUTTONUP || (message == WM_LBUTTONDOWN && g_slots[0])) return true;
  const InputHandler* slot = SlotOf(message);
  return slot && *slot && message != WM_LBUTTONDBLCLK;
}

LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
  InputEvent e;
  if (code == HC_ACTION) {
    const auto* m = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    e.message = static_cast<UINT>(wParam);
    e.paramL = m->pt.x;
    e.paramH = m->pt.y;
    e.time = m->time;
  }
  const LRESULT next = CallNextHookEx(g_mouseHook, code, wParam, lParam);
  if (Wanted(e.message)) {
    // The window the event happens over, as the system would send it there.
    e.window = WindowFromPoint(POINT{e.paramL, e.paramH});
    ui::Guarded([&] { Dispatch(e); });
  }
  return next;
}

// Key events go to the focus window of the thread in the foreground.
HWND KeyboardFocus() {
  const HWND foreground = GetForegroundWindow();
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (foreground && GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info) &&
      info.hwndFocus) {
    return info.hwndFocus;
  }
  return foreground;
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  InputEvent e;
  if (code == HC_ACTION) {
    const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    e.message = static_cast<UINT>(wParam);
    // paramL as a recorded key event holds it: virtual key low, scan code above.
    e.paramL = static_cast<std::int32_t>((k->vkCode & 0xFF) | ((k->scanCode & 0xFF) << 8));
    // The low-level hook names the virtual key itself; no need to map it back
    // from the scan code.
    e.paramH = static_cast<std::int32_t>(k->vkCode);
    e.time = k->time;
  }
  const LRESULT next = CallNextHookEx(g_keyboardHook, code, wParam, lParam);
  if (Wanted(e.message)) {
    e.window = KeyboardFocus();
    ui::Guarded([&] { Dispatch(e); });
  }
  return next;
}

}  // namespace

HOOK类::~HOOK类() {
  if (installed_) ClearInputHandlers();
}

bool HOOK类::SetInputHandler(InputHandler handler, UINT message) {
  InputHandler* slot = SlotOf(message);
  if (!slot || *slot == handler) return false;
  *slot = handler;
  if (!installed_) {
    const HINSTANCE module = GetModuleHandleA(nullptr);
    g_mouseHook = SetWindowsHookExA(WH_MOUSE_LL, MouseProc, module, 0);
    g_keyboardHook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, module, 0);
    installed_ = true;
  }
  return true;
}

bool HOOK类::ClearInputHandlers() {
  g_slots.fill(nullptr);
  if (g_mouseHook) UnhookWindowsHookEx(g_mouseHook);
  if (g_keyboardHook) UnhookWindowsHookEx(g_keyboardHook);
  g_mouseHook = g_keyboardHook = nullptr;
  installed_ = false;
  return true;
}

bool HOOK类::ClearInputHandlers(UINT message) {
  InputHandler* slot = SlotOf(message);
  if (!slot) return false;
  *slot = nullptr;
  if (std::ranges::none_of(g_slots, std::identity{})) ClearInputHandlers();
  return true;
}

}  // namespace finder
