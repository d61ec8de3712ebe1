// One row of a report list as handlers build it. Platform-free, so what turns
// lyrics, result pages and previews into rows can run natively too.
#pragma once

#include <string>
#include <vector>

namespace ui {

struct Row {
  std::vector<std::string> cells;  // GBK, first column first; missing cells read as empty
  long data = 0;                   // the row's item data
};

}  // namespace ui
