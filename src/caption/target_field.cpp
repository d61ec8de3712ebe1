#include "caption/target_field.h"

#include "app/windows.h"
#include "caption/delivery.h"
#include "caption/target_handle.h"

namespace caption {

HWND TargetHandle() { return TargetWindow(ReadTargetHandle(app::Unit<ui::Edit>("编辑框_窗口句柄").Text())); }

void RestoreNickname() {
  if (app::Unit<ui::CheckBox>("选择框1").Checked()) SendCaption(TargetHandle(), app::Unit<ui::Edit>("编辑框6").Text());
}

}  // namespace caption
