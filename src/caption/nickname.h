// Writing the nickname back into the target field when captions stop.
#pragma once

namespace caption {

// When 选择框1 is ticked, writes the nickname of 编辑框6 into the target field.
void RestoreNickname();

}  // namespace caption
