// The finder icon on 画板_捕获器: full icon after a reset, bare cross-hair after a press.
#include "finder/finder_icon.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/startup.h"
#include "forms/drag_icon_form.h"
#include "forms/layouts.h"
#include "forms/main_form.h"
#include "ui/canvas.h"
#include "ui/window.h"
#include "window_test_support.h"

namespace {

constexpr COLORREF kPen = RGB(0, 136, 255);
constexpr COLORREF kBackground = RGB(240, 255, 240);

// The main window's two events of the icon; the drag-icon window as the program binds it.
const std::vector<ui::Binding> kBindings = [] {
  std::vector<ui::Binding> table = {
      {"main", "", ui::Event::Activated, app::OnMainWindowActivated},
      {"main", "画板_捕获器", ui::Event::LeftButtonDown, finder::BeginCaptureDrag},
  };
  for (const ui::Binding& b : app::Bindings()) {
    if (b.window == "drag-icon") table.push_back(b);
  }
  return table;
}();

BOOL CALLBACK CountDragIcon(HWND hwnd, LPARAM count) {
  RECT r;
  GetWindowRect(hwnd, &r);
  if ((GetWindowLongW(hwnd, GWL_STYLE) & WS_POPUP) && r.right - r.left == 31)
    ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int DragIconWindows() {
  int n = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountDragIcon, reinterpret_cast<LPARAM>(&n));
  return n;
}

void PressLeftButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

class FinderIcon : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = ui::Window::Open(forms::kMainLayout, kBindings);
    ASSERT_NE(main_, nullptr);
    main_->Show();
  }
  void TearDown() override {
    if (ui::Window* drag = forms::DragIcon()) drag->Close();
    if (forms::MainOpen()) forms::main::Window().Close();
  }
  ui::Canvas Canvas() const { return ui::Canvas(main_->unit("画板_捕获器")); }
  ui::Window* main_ = nullptr;
};

TEST_F(FinderIcon, ResetDrawsTheFullIcon) {
  finder::ResetCaptureCanvas();
  const ui::Canvas c = Canvas();
  EXPECT_EQ(c.Background(), kBackground);
  // Both diameters cross the centre, yet the centre pixel is background.
  EXPECT_EQ(c.Pixel(14, 14), kBackground);
  for (auto [x, y] :
       {std::pair{4, 14}, {24, 14}, {14, 4}, {14, 24}, {9, 12}, {19, 16}, {12, 9}, {16, 19}, {13, 15}}) {
    EXPECT_EQ(c.Pixel(x, y), kPen) << x << "," << y;
  }
  // The cross-hair runs on outside the circle; inside, the circle's fill hid it
  // except where the diameters are drawn again.
  EXPECT_EQ(c.Pixel(0, 14), kPen);
  EXPECT_EQ(c.Pixel(14, 0), kPen);
  EXPECT_EQ(c.Pixel(9, 9), kBackground);    // inside the circle, off every stroke
  EXPECT_EQ(c.Pixel(19, 17), kBackground);  // a stroke's end point is not drawn
  EXPECT_EQ(c.Pixel(5, 10), kPen);          // on the circle's outline
  EXPECT_EQ(c.Pixel(0, 0), kBackground);
}

TEST_F(FinderIcon, PressLeavesTheBareCrossHairAndOneDragWindow) {
  finder::ResetCaptureCanvas();
  PressLeftButton(true);  // held, so the finder keeps dragging
  SendMessageW(main_->unit("画板_捕获器").hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(14, 14));
  const ui::Canvas c = Canvas();
  EXPECT_EQ(c.Pixel(9, 12), kBackground);  // the target's strokes are gone
  EXPECT_EQ(c.Pixel(4, 14), kPen);         // the cross-hair stays, through the centre
  EXPECT_EQ(c.Pixel(14, 14), kPen);
  EXPECT_EQ(c.Pixel(29, 14), kPen);
  ASSERT_NE(forms::DragIcon(), nullptr);
  EXPECT_EQ(DragIconWindows(), 1);
  // A second press while the drag-icon window exists makes no second window.
  SendMessageW(main_->unit("画板_捕获器").hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(14, 14));
  EXPECT_EQ(DragIconWindows(), 1);
  EXPECT_EQ(c.Pixel(9, 12), kBackground);
  PressLeftButton(false);
  // Activating the main window again brings the full icon back.
  if (ui::Window* drag = forms::DragIcon()) drag->Close();
  SetForegroundWindow(main_->hwnd());
  SetActiveWindow(main_->hwnd());
  EXPECT_TRUE(test::PumpUntil([&] { return c.Pixel(9, 12) == kPen; }, 2000));
  EXPECT_EQ(c.Pixel(14, 14), kBackground);
}

}  // namespace
