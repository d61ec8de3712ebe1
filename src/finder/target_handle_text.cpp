#include "finder/target_handle_text.h"

#include "text/numbers.h"

namespace finder {

std::int32_t ReadTargetHandle(std::string_view text) {
  return text::TruncateToInt32(text::ReadNumber(text));
}

std::string WriteTargetHandle(std::int32_t handle) {
  return std::to_string(handle);
}

}  // namespace finder
