// Byte-text rules for GBK (code page 936) text held in std::string.
// Positions and lengths count bytes; searching and splitting step over a
// two-byte character as one unit, so a match never starts on a trail byte.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace text {

constexpr std::size_t npos = std::string_view::npos;

constexpr bool IsLeadByte(unsigned char b) {
  return b >= 0x81 && b <= 0xFE;
}
constexpr bool IsTrailByte(unsigned char b) {
  return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// ASCII classes; no GBK byte is in them. White space as the C locale has it.
constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
constexpr bool IsCSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// ASCII letters compared without case, every other byte as it is.
inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::ranges::equal(a, b, {}, lower, lower);
}

// Width in bytes (1 or 2) of the character that starts at s[i]: 2 for a lead
// byte followed by a trail byte, 1 for everything else (a lone lead byte at the
// end of the text or before a control byte counts as a character of its own).
inline std::size_t CharWidth(std::string_view s, std::size_t i) {
  return i + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[i])) &&
                 IsTrailByte(static_cast<unsigned char>(s[i + 1]))
             ? 2
             : 1;
}

// Blanks as the caption texts know them: the ASCII space and the full-width space A1 A1.
std::string_view TrimBlanks(std::string_view s);

// First occurrence of `needle` at or after `from` (a character boundary),
// starting only on character boundaries of `hay`; npos when there is none.
// An empty needle is found at `from`.
std::size_t Find(std::string_view hay, std::string_view needle, std::size_t from = 0);

// Splits at every occurrence of `sep`, found as Find does. Empty pieces
// between two separators count; the empty piece after a final separator does
// not, and neither does the piece of an empty text. An empty `sep` splits nothing.
std::vector<std::string_view> Split(std::string_view s, std::string_view sep);

// The text up to (not including) its first zero byte.
std::string_view UpToZero(std::string_view s);

}  // namespace text
