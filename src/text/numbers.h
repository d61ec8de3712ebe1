// The two ways the program reads numbers out of text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace text {

// Numbers typed into edit boxes: leading blanks skipped, an optional sign, then
// decimal digits; anything else ends the number, and no digits give 0. The
// full-width forms of ASCII characters (A3 A1 .. A3 FE) count as those
// characters and the full-width space (A1 A1) as a blank, so full-width digits
// work. Values beyond 32 bits saturate.
std::int32_t ReadInteger(std::string_view s);

// Numbers taken from other texts, read as atof does: leading white space, then
// the longest leading decimal number (sign, digits, fraction, exponent);
// 0 when there is none.
double ReadNumber(std::string_view s);

// Fraction dropped (toward zero); out-of-range values saturate, NaN gives 0.
std::int32_t TruncateToInt32(double v);

// Rounds half away from zero to `decimals` places (0..9).
double RoundHalfAway(double v, int decimals);

// The value as printf's "%.13g" writes it.
std::string FormatG13(double v);

}  // namespace text
