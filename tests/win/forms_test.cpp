// Every accessor of every window finds its unit in the window its layout builds.
#include <gtest/gtest.h>

#include <algorithm>

#include "forms/drag_icon_form.h"
#include "forms/layouts.h"
#include "forms/main_form.h"
#include "forms/update_form.h"

namespace {

bool HasUnit(const ui::WindowLayout& layout, std::string_view name) {
  return std::any_of(layout.units.begin(), layout.units.end(),
                     [&](const ui::UnitRow& r) { return r.name == name; });
}

// Checked against the table first: an accessor of an unknown unit would end the test program.
#define LYRIMARK_RESOLVE(View, name)                       \
  ASSERT_TRUE(HasUnit(layout, #name)) << "no unit " #name; \
  name();

TEST(Forms, EveryAccessorFindsItsUnit) {
  ui::Window* main = ui::Window::Open(forms::kMainLayout, {});
  ASSERT_NE(main, nullptr);
  {
    using namespace forms::main;
    const ui::WindowLayout& layout = forms::kMainLayout;
    LYRIMARK_MAIN_UNITS(LYRIMARK_RESOLVE)
  }
  ui::Window* icon = ui::Window::Open(forms::kDragIconLayout, {}, main->hwnd());
  ASSERT_NE(icon, nullptr);
  {
    using namespace forms::drag_icon;
    const ui::WindowLayout& layout = forms::kDragIconLayout;
    LYRIMARK_DRAG_ICON_UNITS(LYRIMARK_RESOLVE)
  }
  ui::Window* update = ui::Window::Open(forms::kUpdateLayout, {});
  ASSERT_NE(update, nullptr);
  {
    using namespace forms::update;
    const ui::WindowLayout& layout = forms::kUpdateLayout;
    LYRIMARK_UPDATE_UNITS(LYRIMARK_RESOLVE)
  }
  update->Close();
  icon->Close();
  main->Close();
}

}  // namespace
