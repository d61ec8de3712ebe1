// Every binding of the table runs its handler when its event happens.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <new>
#include <tuple>
#include <utility>
#include <vector>

#include "app/startup.h"
#include "forms/layouts.h"
#include "forms/main_form.h"
#include "forms/program.h"
#include "ui/units.h"
#include "ui/window.h"
#include "window_test_support.h"

namespace {

std::vector<std::size_t> fired;

template <std::size_t I>
void Record() {
  fired.push_back(I);
}

// The program's bindings with each handler replaced by one that records its row.
constexpr std::size_t kMaxBindings = 40;
template <std::size_t... I>
constexpr std::array<ui::Handler, sizeof...(I)> Recorders(std::index_sequence<I...>) {
  return {&Record<I>...};
}

std::vector<ui::Binding> RecordingBindings() {
  static constexpr auto recorders = Recorders(std::make_index_sequence<kMaxBindings>());
  std::vector<ui::Binding> table(app::Bindings().begin(), app::Bindings().end());
  for (std::size_t i = 0; i < table.size(); ++i) table[i].handler = recorders.at(i);
  return table;
}

std::size_t RowOf(std::string_view window, std::string_view unit, ui::Event event) {
  const auto table = app::Bindings();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].window == window && table[i].unit == unit && table[i].event == event) return i;
  }
  return kMaxBindings;
}

bool Fired(std::string_view window, std::string_view unit, ui::Event event) {
  const std::size_t row = RowOf(window, unit, event);
  return std::find(fired.begin(), fired.end(), row) != fired.end();
}

void Notify(ui::Window& w, ui::Unit& u, UINT code) {
  NMHDR hdr{u.hwnd, u.id, code};
  SendMessageW(w.hwnd(), WM_NOTIFY, u.id, reinterpret_cast<LPARAM>(&hdr));
}

TEST(Dispatch, EveryBindingRunsItsHandler) {
  ASSERT_LE(app::Bindings().size(), kMaxBindings);
  const auto bindings = RecordingBindings();
  using E = ui::Event;
  fired.clear();

  ui::Window* main = ui::Window::Open(forms::kMainLayout, bindings);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(Fired("main", "", E::Created));
  main->Show();
  SetForegroundWindow(main->hwnd());
  SetActiveWindow(main->hwnd());
  test::PumpUntil([] { return Fired("main", "", E::Activated); }, 2000);
  EXPECT_TRUE(Fired("main", "", E::Activated));

  SendMessageW(main->unit("画板_捕获器").hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(14, 14));
  for (const char* button : {"超级按钮4", "按钮2", "搜索歌词", "按钮1", "按钮5", "按钮3", "按钮4", "按钮15",
                             "选择框_跟随播放", "按钮_提前", "按钮_推后"}) {
    SendMessageW(main->unit(button).hwnd, BM_CLICK, 0, 0);
    EXPECT_TRUE(Fired("main", button, E::Clicked)) << button;
  }
  // A hot key comes with the id of the unit it was registered for.
  for (const char* unit : {"选择框_跟随播放", "按钮_提前", "按钮_推后"}) {
    SendMessageW(main->hwnd(), WM_HOTKEY, main->unit(unit).id, 0);
    EXPECT_TRUE(Fired("main", unit, E::HotKey)) << unit;
  }
  ui::Unit& files = main->unit("文件框1");
  SendMessageW(main->hwnd(), WM_COMMAND, MAKEWPARAM(files.id, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(files.hwnd));
  SendMessageW(main->hwnd(), WM_COMMAND, MAKEWPARAM(files.id, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(files.hwnd));
  Notify(*main, main->unit("超级列表框_歌词"), static_cast<UINT>(NM_DBLCLK));
  Notify(*main, main->unit("欲下载列表"), static_cast<UINT>(NM_DBLCLK));
  const auto results = main->Get<ui::ReportList>("欲下载列表");
  results.AddRow("x");
  results.SetCurrentRow(0);
  main->Get<ui::Timer>("时钟_歌词播放").SetInterval(20);
  main->Get<ui::Timer>("时钟_跟随").SetInterval(20);
  test::PumpUntil(
      [] {
        return Fired("main", "时钟_歌词播放", E::Tick) && Fired("main", "时钟_跟随", E::Tick) &&
               Fired("main", "欲下载列表", E::CurrentRowChanged);
      },
      2000);
  main->Get<ui::Timer>("时钟_歌词播放").SetInterval(0);
  main->Get<ui::Timer>("时钟_跟随").SetInterval(0);

  EXPECT_TRUE(Fired("main", "画板_捕获器", E::LeftButtonDown));
  EXPECT_TRUE(Fired("main", "文件框1", E::CurrentFileChanged));
  EXPECT_TRUE(Fired("main", "文件框1", E::DoubleClicked));
  EXPECT_TRUE(Fired("main", "超级列表框_歌词", E::DoubleClicked));
  EXPECT_TRUE(Fired("main", "欲下载列表", E::DoubleClicked));
  EXPECT_TRUE(Fired("main", "欲下载列表", E::CurrentRowChanged));
  EXPECT_TRUE(Fired("main", "时钟_歌词播放", E::Tick));
  EXPECT_TRUE(Fired("main", "时钟_跟随", E::Tick));

  ui::Window* drag = ui::Window::Open(forms::kDragIconLayout, bindings, main->hwnd());
  ASSERT_NE(drag, nullptr);
  EXPECT_TRUE(Fired("drag-icon", "", E::Created));
  test::PumpUntil([] { return Fired("drag-icon", "时钟1", E::Tick) && Fired("drag-icon", "时钟2", E::Tick); },
                  2000);
  EXPECT_TRUE(Fired("drag-icon", "时钟1", E::Tick));
  EXPECT_TRUE(Fired("drag-icon", "时钟2", E::Tick));
  drag->Close();

  ui::Window* update = ui::Window::Open(forms::kUpdateLayout, bindings);
  ASSERT_NE(update, nullptr);
  EXPECT_TRUE(Fired("update", "", E::Created));
  SendMessageW(update->unit("按钮1").hwnd, BM_CLICK, 0, 0);
  EXPECT_TRUE(Fired("update", "按钮1", E::Clicked));
  update->Get<ui::Timer>("时钟").SetInterval(20);
  test::PumpUntil([] { return Fired("update", "时钟", E::Tick); }, 2000);
  EXPECT_TRUE(Fired("update", "时钟", E::Tick));
  update->Close();

  // Each binding ran, and nothing ran that is not bound.
  for (std::size_t i = 0; i < app::Bindings().size(); ++i) {
    EXPECT_NE(std::find(fired.begin(), fired.end(), i), fired.end()) << "binding " << i;
  }
  main->Close();
}

TEST(Dispatch, OneClickOnAReportListIsOneRowChange) {
  // Selecting another row deselects the old one first; the handler must see one
  // change to the new row, not a passing "no row".
  const auto bindings = RecordingBindings();
  ui::Window* main = ui::Window::Open(forms::kMainLayout, bindings);
  ASSERT_NE(main, nullptr);
  const auto list = main->Get<ui::ReportList>("欲下载列表");
  list.AddRow("a");
  list.AddRow("b");
  list.SetCurrentRow(0);
  test::Pump(100);
  fired.clear();
  list.SetCurrentRow(1);
  test::Pump(100);
  const std::size_t row = RowOf("main", "欲下载列表", ui::Event::CurrentRowChanged);
  EXPECT_EQ(std::count(fired.begin(), fired.end(), row), 1);
  EXPECT_EQ(list.CurrentRow(), 1);
  main->Close();
}

// The rows as handlers see them, and as the list shows them: it holds no rows
// of its own, so its count and current row must follow every change.
TEST(Dispatch, AReportListShowsTheRowsItHolds) {
  const auto bindings = RecordingBindings();
  ui::Window* main = ui::Window::Open(forms::kMainLayout, bindings);
  ASSERT_NE(main, nullptr);
  const auto list = main->Get<ui::ReportList>("超级列表框_歌词");
  const auto shown = [&] { return static_cast<int>(SendMessageW(list.hwnd(), LVM_GETITEMCOUNT, 0, 0)); };
  list.SetRows({{{"100", "甲"}, 1}, {{"200", "乙"}, 2}, {{"300", "丙"}, 3}});
  EXPECT_EQ(shown(), 3);
  EXPECT_EQ(list.CurrentRow(), -1);
  EXPECT_EQ(list.Cell(2, 1), "丙");
  EXPECT_EQ(list.Cell(3, 0), "");  // no such row
  EXPECT_EQ(list.ItemData(1), 2);
  const int added = list.AddRow("400");
  EXPECT_EQ(added, 3);
  EXPECT_EQ(shown(), 4);

  list.SetCurrentRow(1);
  EXPECT_EQ(list.CurrentRow(), 1);
  list.DeleteRow(1);  // the current row goes, and with it the selection
  EXPECT_EQ(shown(), 3);
  EXPECT_EQ(list.Cell(1, 1), "丙");
  EXPECT_EQ(list.CurrentRow(), -1);
  list.SetCurrentRow(2);
  list.DeleteRow(0);  // a row above the current one: the current row moves up with its row
  EXPECT_EQ(list.CurrentRow(), 1);
  EXPECT_EQ(list.Cell(list.CurrentRow(), 0), "400");
  EXPECT_EQ(list.Cell(list.CurrentRow(), 1), "");  // a missing cell

  list.SetRows({{{"1", "新"}, 1}});
  EXPECT_EQ(shown(), 1);
  EXPECT_EQ(list.CurrentRow(), -1);
  list.Clear();
  EXPECT_EQ(shown(), 0);
  EXPECT_EQ(list.RowCount(), 0);
  main->Close();
}

// Typing in a list goes to the next row whose first cell starts with what was
// typed, whatever its case, as in any list.
TEST(Dispatch, TypingInAReportListGoesToTheRowThatStartsWithIt) {
  const auto bindings = RecordingBindings();
  ui::Window* main = ui::Window::Open(forms::kMainLayout, bindings);
  ASSERT_NE(main, nullptr);
  for (const auto& [unit, typed, row] : {std::tuple{"欲下载列表", L'b', 3}, {"超级列表框_歌词", L'2', 2}}) {
    const auto list = main->Get<ui::ReportList>(unit);
    list.SetRows({{{"甲"}}, {{"abc"}}, {{"2x"}}, {{"Bcd"}}});
    SendMessageW(list.hwnd(), WM_CHAR, typed, 1);
    EXPECT_EQ(list.CurrentRow(), row) << unit;
  }
  main->Close();
}

// A handler that fails by an exception (in practice std::bad_alloc) is an
// operation that failed: the window lives on, and so do later events, the
// failing timer's ticks included.
TEST(Dispatch, AHandlerThatFailsIsAnOperationThatFailed) {
  static int failures = 0, clicks = 0;
  failures = clicks = 0;
  const ui::Handler fail = [] {
    ++failures;
    throw std::bad_alloc();
  };
  const ui::Binding bindings[] = {
      {"main", "", ui::Event::Created, fail},
      {"main", "按钮1", ui::Event::Clicked, fail},
      {"main", "时钟_歌词播放", ui::Event::Tick, fail},
      {"main", "按钮3", ui::Event::Clicked, [] { ++clicks; }},
  };
  ui::Window* main = ui::Window::Open(forms::kMainLayout, bindings);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(failures, 1);
  SendMessageW(main->unit("按钮1").hwnd, BM_CLICK, 0, 0);
  EXPECT_EQ(failures, 2);
  main->Get<ui::Timer>("时钟_歌词播放").SetInterval(10);
  EXPECT_TRUE(test::PumpUntil([] { return failures >= 5; }, 3000));
  main->Get<ui::Timer>("时钟_歌词播放").SetInterval(0);
  SendMessageW(main->unit("按钮3").hwnd, BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(ui::Window::Find("main"), main);
  main->Close();
}

}  // namespace
