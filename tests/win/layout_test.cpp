// The windows as created read back against their layout tables.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <vector>

#include "forms/layouts.h"
#include "ui/kinds.h"
#include "ui/units.h"
#include "ui/win32.h"
#include "ui/window.h"
#include "window_test_support.h"

namespace {

using ui::Kind;

// Where the table puts a unit in the window's client area, and on which tab page.
struct Placement {
  POINT origin;
  int page;
};

std::map<std::string_view, Placement> Placements(const ui::WindowLayout& layout) {
  std::map<std::string_view, Placement> at;
  for (const ui::UnitRow& row : layout.units) {
    Placement p{{row.rect.left, row.rect.top}, 0};
    if (!row.in.empty()) {
      const Placement& c = at.at(row.in);
      p.origin.x += c.origin.x;
      p.origin.y += c.origin.y;
      bool inTab = false;
      for (const ui::UnitRow& r : layout.units) inTab = inTab || (r.name == row.in && r.kind == Kind::Tab);
      p.page = inTab ? row.page : c.page;
    }
    at[row.name] = p;
  }
  return at;
}

void ShowPage(ui::Window& w, ui::Unit& tab, int page) {
  SendMessageW(tab.hwnd, TCM_SETCURSEL, static_cast<WPARAM>(page - 1), 0);
  NMHDR hdr{tab.hwnd, tab.id, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(w.hwnd(), WM_NOTIFY, tab.id, reinterpret_cast<LPARAM>(&hdr));
}

void CheckAgainstTable(const ui::WindowLayout& layout) {
  SCOPED_TRACE(std::string(layout.name));
  ui::Window* w = ui::Window::Open(layout, {});
  ASSERT_NE(w, nullptr);
  w->Show();
  const auto placements = Placements(layout);
  RECT outer;
  GetWindowRect(w->hwnd(), &outer);
  EXPECT_EQ(outer.left, layout.rect.left);
  EXPECT_EQ(outer.top, layout.rect.top);
  EXPECT_EQ(outer.right - outer.left, layout.rect.width);
  EXPECT_EQ(outer.bottom - outer.top, layout.rect.height);
  EXPECT_EQ(ui::WindowText(w->hwnd()), layout.caption);

  ui::Unit* tab = nullptr;
  for (ui::Unit& u : w->units()) {
    const ui::UnitRow& row = *u.row;
    SCOPED_TRACE(ui::WindowText(w->hwnd()) + " / " + std::string(row.name));
    const ui::KindRow& kind = ui::KindOf(row.kind);
    if (row.kind == Kind::Tab) tab = &u;
    if (row.kind == Kind::Timer) {
      EXPECT_EQ(ui::Timer(u).Interval(), row.interval);
      continue;
    }
    EXPECT_EQ(GetParent(u.hwnd), w->hwnd());
    EXPECT_STRCASEEQ(test::ClassName(u.hwnd).c_str(), ui::Narrow(kind.windowClass).c_str());
    const RECT r = test::RectInParent(u.hwnd);
    const Placement& p = placements.at(row.name);
    EXPECT_EQ(r.left, p.origin.x);
    EXPECT_EQ(r.top, p.origin.y);
    EXPECT_EQ(r.right - r.left, row.rect.width);
    EXPECT_EQ(r.bottom - r.top, row.rect.height);
    if (kind.takesText) {
      EXPECT_EQ(ui::WindowText(u.hwnd), row.text);
    }
    EXPECT_EQ(IsWindowVisible(u.hwnd) != FALSE, row.visible && p.page <= 1);
    if (!row.visible) {
      RECT client;
      GetClientRect(w->hwnd(), &client);
      EXPECT_GE(r.left, client.right) << "hidden units lie outside the client area";
    }
    if (row.kind == Kind::ReportList) {
      const ui::ReportList list(u);
      std::vector<std::pair<std::string, int>> columns;
      for (const ui::Item& c : row.items) columns.emplace_back(c.title, c.width);
      EXPECT_EQ(list.Columns(), columns);
      EXPECT_EQ(list.RowCount(), 0);
    }
  }
  if (tab) {
    // Units of a page show only with their page.
    for (int page = 1; page <= static_cast<int>(tab->row->items.size()); ++page) {
      ShowPage(*w, *tab, page);
      for (ui::Unit& u : w->units()) {
        const Placement& p = placements.at(u.row->name);
        if (p.page == 0 || u.row->kind == Kind::Timer) continue;
        SCOPED_TRACE(std::string(u.row->name) + " on page " + std::to_string(page));
        EXPECT_EQ(IsWindowVisible(u.hwnd) != FALSE, u.row->visible && p.page == page);
      }
    }
  }
  w->Close();
}

TEST(Layout, MainWindowIsBuiltAsItsTableSays) {
  CheckAgainstTable(forms::kMainLayout);
}
TEST(Layout, DragIconWindowIsBuiltAsItsTableSays) {
  CheckAgainstTable(forms::kDragIconLayout);
}
TEST(Layout, UpdateWindowIsBuiltAsItsTableSays) {
  CheckAgainstTable(forms::kUpdateLayout);
}

TEST(Layout, MainClientAreaHoldsTheStripAndTheTabs) {
  // The 480-px strip fits the 487-px frame only with the classic 3-px fixed frame.
  ui::Window* w = ui::Window::Open(forms::kMainLayout, {});
  ASSERT_NE(w, nullptr);
  RECT client;
  GetClientRect(w->hwnd(), &client);
  EXPECT_EQ(client.right, 481);
  EXPECT_GE(client.bottom, 48 + 448);
  // The menu items exist without a menu bar taking height from the client area.
  EXPECT_EQ(GetMenu(w->hwnd()), nullptr);
  w->Close();
}

// The fifth page comes after the four: their tabs keep their places, and the
// row shows its scroll arrows for the tab that does not fit.
TEST(Layout, TheFirstFourTabsStayWhereTheyWereWithoutTheFifth) {
  std::vector<ui::UnitRow> rows;
  for (ui::UnitRow row : forms::kMainLayout.units) {
    if (row.kind == Kind::Tab) row.items = row.items.first(4);
    if (row.page != 5) rows.push_back(row);
  }
  ui::WindowLayout four = forms::kMainLayout;
  four.name = "main-four-pages";
  four.units = rows;
  const auto tabRects = [](const ui::WindowLayout& layout) {
    ui::Window* w = ui::Window::Open(layout, {});
    std::vector<std::tuple<long, long, long, long>> rects;
    if (!w) return rects;
    w->Show();
    const HWND tab = w->unit("置顶选择1").hwnd;
    for (int i = 0; i < static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0)); ++i) {
      RECT r{};
      SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
      rects.emplace_back(r.left, r.top, r.right, r.bottom);
    }
    w->Close();
    return rects;
  };
  auto five = tabRects(forms::kMainLayout);
  ASSERT_EQ(five.size(), 5u);
  five.pop_back();
  EXPECT_EQ(five, tabRects(four));
}

TEST(Layout, FileListShowsLrcFilesWithChineseNames) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  std::wstring folder = std::wstring(dir) + L"lyrimark-layout-test";
  CreateDirectoryW(folder.c_str(), nullptr);
  for (const wchar_t* name : {L"\u9759\u591c\u601d.lrc", L"b.lrc", L"c.txt"}) {
    HANDLE f =
        CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
  }
  ui::Window* w = ui::Window::Open(forms::kMainLayout, {});
  ASSERT_NE(w, nullptr);
  const auto list = w->Get<ui::FileList>("文件框1");
  list.SetDirectory(ui::Narrow(folder));
  const auto files = list.Files();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0], "b.lrc");
  EXPECT_EQ(files[1], "静夜思.lrc");  // GBK bytes, as the program's text is
  list.SetCurrent(1);
  EXPECT_EQ(list.CurrentFile(), "静夜思.lrc");
  list.SetDirectory(ui::Narrow(folder + L"\\missing"));
  EXPECT_TRUE(list.Files().empty());
  w->Close();
}

}  // namespace
