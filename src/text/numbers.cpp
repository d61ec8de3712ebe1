#include "text/numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "text/gbk.h"

namespace text {

namespace {

// One character of an edit box's text with its full-width form folded to ASCII.
struct Folded {
  char c;
  std::size_t width;
};

Folded FoldAt(std::string_view s, std::size_t i) {
  if (i + 1 < s.size()) {
    const auto lead = static_cast<unsigned char>(s[i]);
    const auto trail = static_cast<unsigned char>(s[i + 1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) return {static_cast<char>(trail - 0x80), 2};
    if (lead == 0xA1 && trail == 0xA1) return {' ', 2};
  }
  return {s[i], 1};
}

}  // namespace

std::int32_t ReadInteger(std::string_view s) {
  std::size_t i = 0;
  Folded f{};
  while (i < s.size() && IsCSpace((f = FoldAt(s, i)).c)) i += f.width;
  bool negative = false;
  if (i < s.size() && ((f = FoldAt(s, i)).c == '+' || f.c == '-')) {
    negative = f.c == '-';
    i += f.width;
  }
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  while (i < s.size() && IsDigit((f = FoldAt(s, i)).c)) {
    value = std::min(kLimit, value * 10 + (f.c - '0'));
    i += f.width;
  }
  return static_cast<std::int32_t>(negative ? -value : std::min(value, kLimit - 1));
}

double ReadNumber(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsCSpace(s[i])) ++i;
  const std::size_t begin = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  // Only a decimal number counts (strtod alone would also take hexadecimal,
  // inf and nan): digits, an optional fraction, an optional exponent.
  std::size_t digits = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i) ++digits;
  if (i < s.size() && s[i] == '.') {
    for (++i; i < s.size() && IsDigit(s[i]); ++i) ++digits;
  }
  if (digits == 0) return 0.0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && IsDigit(s[j])) {
      while (j < s.size() && IsDigit(s[j])) ++j;
      i = j;
    }
  }
  const std::string number(s.substr(begin, i - begin));
  return std::strtod(number.c_str(), nullptr);
}

std::int32_t TruncateToInt32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

double RoundHalfAway(double v, int decimals) {
  double scale = 1.0;
  for (int i = 0; i < decimals; ++i) scale *= 10.0;
  // From 2^52 on a double has no fraction left to round, and scaling it up
  // could overflow to infinity.
  const double scaled = v * scale;
  if (!(std::fabs(scaled) < 4503599627370496.0)) return v;
  return std::round(scaled) / scale;
}

std::string FormatG13(double v) {
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, "%.13g", v);
  return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace text
