// Message boxes with the program's texts (GBK).
#pragma once

#include <string_view>

namespace ui {

enum class Icon { None, Information, Stop };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

struct MessageStyle {
  Icon icon = Icon::None;
  Buttons buttons = Buttons::Ok;
  // Task-modal without an owner: every window of the program is disabled
  // meanwhile. Otherwise the box belongs to the active window.
  bool taskModal = false;
};

// An empty title gives the program's name.
Answer ShowMessage(std::string_view text, std::string_view title = {}, MessageStyle style = {});

}  // namespace ui
