#include "player/hot_keys.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "forms/main_form.h"

namespace player {

namespace {

struct HotKey {
  std::string_view unit;  // whose HotKey event it fires
  UINT key;
  std::string_view keys, role;
};

// Ctrl+Alt with the bracket keys: Windows takes Win and Ctrl+Alt+Del, graphics
// drivers Ctrl+Alt with the arrows (they turn the screen) and F-keys, chat
// clients and players Ctrl+Alt with letters and arrows; these are left free.
constexpr UINT kModifiers = MOD_CONTROL | MOD_ALT | MOD_NOREPEAT;
constexpr HotKey kHotKeys[] = {
    {"按钮_提前", VK_OEM_4, "Ctrl+Alt+[", "歌词提前0.5秒"},
    {"按钮_推后", VK_OEM_6, "Ctrl+Alt+]", "歌词推后0.5秒"},
    {"选择框_跟随播放", VK_OEM_5, "Ctrl+Alt+\\", "开始/停止跟随"},
};

}  // namespace

void RegisterHotKeys() {
  ui::Window& main = forms::main::Window();
  std::string listed = "全局热键：";
  for (const HotKey& k : kHotKeys) {
    const bool registered = main.RegisterHotKey(k.unit, kModifiers, k.key);
    listed += "\r\n" + std::string(k.keys) + "  " + std::string(k.role);
    if (!registered) listed += "（已被其他程序占用，不能用）";
  }
  forms::main::标签_热键().SetText(listed);
}

}  // namespace player
