// The messages one delivery must post, written out from the fixed sequence, for
// comparing with what a receiving window got.
#pragma once

#include <windows.h>

#include <ostream>
#include <string_view>
#include <vector>

#include "caption/delivery.h"
#include "text/convert.h"

namespace wintest {

struct InputMessage {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  bool operator==(const InputMessage&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const InputMessage& m) {
  return out << std::hex << "{0x" << m.message << ", 0x" << m.wparam << ", 0x" << m.lparam << "}" << std::dec;
}

// Key, character and mouse messages: what a delivery posts. Everything else a
// window gets (paint, timers, focus) is its own business.
inline bool IsInputMessage(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

inline void AppendClick(std::vector<InputMessage>& out, int x, int y) {
  const LPARAM point = x + y * 65536;
  out.push_back({WM_MOUSEMOVE, 2, point});
  out.push_back({WM_LBUTTONDOWN, 1, point});
  out.push_back({WM_LBUTTONUP, 0, point});
}

// What the character messages of a GBK text carry on this system: its bytes
// where the ANSI code page is GBK, else its UTF-16 code units.
inline std::vector<WPARAM> CharacterValues(std::string_view gbk) {
  std::vector<WPARAM> out;
  if (caption::AnsiIsGbk()) {
    for (unsigned char b : gbk) out.push_back(b);
  } else {
    for (char16_t unit : text::GbkToUtf16(gbk)) out.push_back(unit);
  }
  return out;
}

// The click at the entry point, 30 Backspace key-downs, one WM_CHAR per
// character value with `char_lparam`, and the two clicks at the closing point.
inline std::vector<InputMessage> ExpectedDelivery(std::string_view gbk, LPARAM char_lparam) {
  std::vector<InputMessage> out;
  AppendClick(out, 298, 124);
  for (int i = 0; i < 30; ++i) out.push_back({WM_KEYDOWN, VK_BACK, 1});
  for (WPARAM value : CharacterValues(gbk)) out.push_back({WM_CHAR, value, char_lparam});
  AppendClick(out, 301, 164);
  AppendClick(out, 301, 164);
  return out;
}

// Index in a delivery's messages of the second closing click's first message.
inline std::size_t SecondClosingClick(std::string_view gbk) {
  return 3 + 30 + CharacterValues(gbk).size() + 3;
}

}  // namespace wintest
