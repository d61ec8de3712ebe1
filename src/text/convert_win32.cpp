// Conversions on Windows, through the system's code page tables.
#include <windows.h>

#include "text/convert.h"

namespace text {

namespace {

constexpr UINT kGbk = 936;

std::u16string ToUtf16(UINT codePage, std::string_view in) {
  if (in.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, in.data(), static_cast<int>(in.size()), nullptr, 0);
  std::u16string out(static_cast<std::size_t>(n), u'\0');
  MultiByteToWideChar(codePage, 0, in.data(), static_cast<int>(in.size()),
                      reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

std::string FromUtf16(UINT codePage, std::u16string_view in) {
  if (in.empty()) return {};
  // Without this flag Windows "best fits" some missing characters to look-alikes
  // (an accented letter to a plain one, a broken bar to '|'); a missing
  // character must become the default character '?' as it does natively.
  // UTF-8 takes no such flag.
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const auto* src = reinterpret_cast<const wchar_t*>(in.data());
  const int n =
      WideCharToMultiByte(codePage, flags, src, static_cast<int>(in.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(codePage, flags, src, static_cast<int>(in.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

std::u16string GbkToUtf16(std::string_view gbk) { return ToUtf16(kGbk, gbk); }
std::string Utf16ToGbk(std::u16string_view utf16) { return FromUtf16(kGbk, utf16); }
std::u16string Utf8ToUtf16(std::string_view utf8) { return ToUtf16(CP_UTF8, utf8); }
std::string Utf16ToUtf8(std::u16string_view utf16) { return FromUtf16(CP_UTF8, utf16); }

}  // namespace text
