#include "finder/finder.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <vector>

#include "finder/finder_icon.h"
#include "finder/input_hook.h"
#include "finder/target_handle.h"
#include "forms/drag_icon_form.h"
#include "forms/main_form.h"
#include "ui/canvas.h"
#include "ui/scoped.h"
#include "ui/wide.h"
#include "ui/win32.h"

namespace finder {

namespace {

struct FinderState {
  HWND FramedWindow = nullptr;       // the window whose frame is on the screen now
  bool FinderBusy = false;           // a FinderTick is running
  int HintOffset = 0;                // 15 in super mode: the drag-icon window moves off the pointer
  std::vector<HWND> FramedThisDrag;  // painted anew at the drop, to clear any trace of a frame
};
FinderState Finder;

// The icon's centre (14, 14) sits under the pointer.
constexpr int kIconCentre = 14;
// In super mode the window moves below and right of the pointer, so the hint
// can be read.
constexpr int kSuperModeOffset = 15;
constexpr BYTE kIconAlpha = 250;
constexpr COLORREF kTransparentKey = 0xFFFFFF;  // white shows nothing
constexpr int kFramePenWidth = 5;
constexpr COLORREF kFramePenColour = 0x0001F4;  // never seen: the frame inverts

// The most characters of another window's title taken.
constexpr int kLongestTitle = 255;

constexpr char kSuperModeHint[] = "(*^-^*) 无法获取窗口句柄,超级模式被激活,松开鼠标后获取当前窗口句柄!";
constexpr char kTitlePrefix[] = "窗口标题：";

// The window the finder would pick at a point. The bare desktop is no window
// anyone can write into: where nothing else covers the point (no shell, or
// under Wine without a window manager, where the desktop lies under every
// empty spot), it counts as no window at all.
HWND WindowUnder(POINT p) {
  const HWND w = WindowFromPoint(p);
  return w == GetDesktopWindow() ? nullptr : w;
}

bool IsOwnWindow(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process != 0 && process == GetCurrentProcessId();
}

// The client area's top-left corner on the screen; of the foreground window for null.
POINT ClientOrigin(HWND window) {
  POINT origin{0, 0};
  ClientToScreen(window ? window : GetForegroundWindow(), &origin);
  return origin;
}

bool IsKeyDown(int virtualKey) {
  if (!(GetKeyState(virtualKey) & 0x8000)) return false;
  // The thread's own key state sees a release only if the release comes to
  // this thread; Windows sends one over another program's window to that
  // program. The hardware state sees every release. GetAsyncKeyState reads
  // physical buttons, so with swapped buttons the logical left one is the
  // physical right one, and the other way round.
  int physical = virtualKey;
  if (GetSystemMetrics(SM_SWAPBUTTON) && (virtualKey == VK_LBUTTON || virtualKey == VK_RBUTTON))
    physical = virtualKey == VK_LBUTTON ? VK_RBUTTON : VK_LBUTTON;
  return (GetAsyncKeyState(physical) & 0x8000) != 0;
}

// Undoes any number of ShowCursor(FALSE) calls.
void ShowCursorAgain() {
  while (ShowCursor(TRUE) < 0) {
  }
}

// Inverts a 5-pixel frame round the window; a second call on the unchanged
// window puts the pixels back. Nothing happens for a window that is gone.
void ToggleFrame(HWND window) {
  if (!IsWindow(window)) return;
  RECT r;
  GetWindowRect(window, &r);
  // A DC of another program's window may draw nothing (Wine's does), so draw
  // on the screen instead, clipped to the window's rectangle and with the
  // origin at its corner: the same pixels a DC of the whole window covers.
  const ui::WindowDc dc(nullptr);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  SetViewportOrgEx(dc, r.left, r.top, nullptr);
  const ui::Gdi<HPEN> pen(CreatePen(PS_SOLID, kFramePenWidth, kFramePenColour));
  const ui::Selected outline(dc, pen.get());
  const ui::Selected hollow(dc, GetStockObject(NULL_BRUSH));
  SetROP2(dc, R2_NOT);
  // The pen is centred on the outline; its outer half falls outside the clip.
  Rectangle(dc, 0, 0, r.right - r.left, r.bottom - r.top);
}

// Click-through makes the pointer query see past the window from the next tick on.
void SetLayeredStyle(HWND window, BYTE alpha, COLORREF key, bool clickThrough) {
  const LONG style =
      clickThrough ? GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_TRANSPARENT | WS_EX_LAYERED : WS_EX_LAYERED;
  SetWindowLongA(window, GWL_EXSTYLE, style);
  DWORD flags = LWA_ALPHA;
  if (key != 0) flags = alpha == 0 ? LWA_COLORKEY : LWA_COLORKEY | LWA_ALPHA;
  SetLayeredWindowAttributes(window, key, alpha, flags);
}

// Makes the windows framed during the drag paint their frames' pixels anew.
// Where the drag-icon window passed over a frame, the window below repainted
// those pixels without the inversion (on a screen without composition, as
// under Wine), and erasing by inverting again left a trace there. Only at the
// drop: a window repaints the whole box round what it repaints, which would
// wipe out a frame drawn meanwhile inside it.
void RepaintFramedWindows() {
  // A read from the screen returns only once every drawing before it is on
  // the screen: the windows must paint after the last inversion, not before it.
  GetPixel(ui::WindowDc(nullptr), 0, 0);
  for (HWND window : Finder.FramedThisDrag) {
    RECT r;
    if (!IsWindow(window) || !GetWindowRect(window, &r)) continue;
    const int depth = kFramePenWidth / 2 + 2;  // the pen's inner half, and a pixel to spare
    const ui::Gdi<HRGN> area(CreateRectRgnIndirect(&r));
    const ui::Gdi<HRGN> inside(
        CreateRectRgn(r.left + depth, r.top + depth, r.right - depth, r.bottom - depth));
    CombineRgn(area.get(), area.get(), inside.get(), RGN_DIFF);
    // The region is taken in client coordinates; the frame lies partly outside the client area.
    const POINT origin = ClientOrigin(window);
    OffsetRgn(area.get(), -origin.x, -origin.y);
    RedrawWindow(window, nullptr, area.get(), RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  Finder.FramedThisDrag.clear();
}

void EndDrag(ui::Window& icon) {
  ShowCursorAgain();
  forms::main::Window().SetTopmost(false);
  if (InputHook) InputHook->ClearInputHandlers();
  ToggleFrame(Finder.FramedWindow);
  Finder.FramedWindow = nullptr;
  RepaintFramedWindows();
  icon.Close();  // its timers stop with it
}

// The input hook's WM_LBUTTONUP handler in super mode: the window the release
// happened over becomes TargetHandle.
void CALLBACK OnTargetButtonReleased(std::int32_t window, std::int32_t, std::int32_t) {
  if (forms::MainOpen()) SetTargetHandle(ui::HandleWindow(window));
}

}  // namespace

void FollowCursorTick() {
  ui::Window* icon = forms::DragIcon();
  if (!icon) return;
  POINT p;
  GetCursorPos(&p);
  SetWindowPos(icon->hwnd(), nullptr, p.x - kIconCentre + Finder.HintOffset,
               p.y - kIconCentre + Finder.HintOffset, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FinderTick() {
  ui::Window* icon = forms::DragIcon();
  if (!icon || Finder.FinderBusy) return;
  Finder.FinderBusy = true;

  POINT p;
  GetCursorPos(&p);
  const HWND w = WindowUnder(p);
  const bool own = IsOwnWindow(w);
  if (own) SetTargetHandle(std::nullopt);

  const ui::Canvas canvas = forms::drag_icon::画板1();
  canvas.Clear();
  if (!w) {
    // Super mode: nothing to frame here, so let the hook report the window
    // that the release happens over.
    if (InputHook) InputHook->SetInputHandler(OnTargetButtonReleased, WM_LBUTTONUP);
    Finder.HintOffset = kSuperModeOffset;
    canvas.Text(kSuperModeHint);
  } else {
    if (InputHook) InputHook->ClearInputHandlers();
    Finder.HintOffset = 0;
    DrawFinderIcon(canvas);
    ShowCursor(FALSE);  // the icon is the pointer now; undone at the release
  }

  SetLayeredStyle(icon->hwnd(), kIconAlpha, kTransparentKey, true);

  GetCursorPos(&p);
  forms::main::编辑框_鼠标位置_X().SetText(std::to_string(p.x));
  forms::main::编辑框_鼠标位置_Y().SetText(std::to_string(p.y));
  if (!own) {
    const POINT origin = ClientOrigin(w);
    forms::main::编辑框_窗口鼠标位置_X().SetText(std::to_string(p.x - origin.x));
    forms::main::编辑框_窗口鼠标位置_Y().SetText(std::to_string(p.y - origin.y));
  }

  if (w != Finder.FramedWindow && !own) {
    // Erase before drawing: never two frames on the screen.
    ToggleFrame(Finder.FramedWindow);
    ToggleFrame(w);
    Finder.FramedWindow = w;
    if (w && std::ranges::find(Finder.FramedThisDrag, w) == Finder.FramedThisDrag.end()) {
      Finder.FramedThisDrag.push_back(w);
    }
    SetTargetHandle(w);
    forms::main::透明标签1().SetText(kTitlePrefix + ReadWindowTitle(w));
  }

  if (!IsKeyDown(VK_LBUTTON)) EndDrag(*icon);
  Finder.FinderBusy = false;
}

std::string ReadWindowTitle(HWND window) {
  // The title the system keeps for the window, read without a message to its
  // program (as the title of another program's window always is read): an
  // edit field gives its caption, never the text typed into it, the program
  // sees nothing of the drag, and nothing can keep us waiting. A program the
  // system knows as hung shows no title.
  if (!window || IsHungAppWindow(window)) return {};
  wchar_t title[kLongestTitle + 1] = {};
  const int length = InternalGetWindowText(window, title, kLongestTitle + 1);
  // Wide, whatever the system's code page; characters GBK lacks become '?'.
  return ui::Narrow(std::wstring_view(title, static_cast<std::size_t>(std::max(length, 0))));
}

}  // namespace finder
