#include "caption/nickname.h"

#include "caption/delivery.h"
#include "finder/target_handle.h"
#include "forms/main_form.h"

namespace caption {

void RestoreNickname() {
  if (forms::main::选择框1().Checked()) {
    SendCaption(finder::TargetHandle().value_or(nullptr), forms::main::编辑框6().Text());
  }
}

}  // namespace caption
