// The program's text is GBK; its own windows speak UTF-16. These convert at
// that border, always through code page 936 whatever the system's ANSI page.
#pragma once

#include <string>
#include <string_view>

#include "text/convert.h"

namespace ui {

inline std::wstring Wide(std::string_view gbk) {
  const std::u16string s = text::GbkToUtf16(gbk);
  return std::wstring(s.begin(), s.end());
}

inline std::string Narrow(std::wstring_view utf16) {
  return text::Utf16ToGbk(std::u16string(utf16.begin(), utf16.end()));
}

}  // namespace ui
