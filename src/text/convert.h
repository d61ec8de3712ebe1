// Conversions between the program's GBK text (code page 936) and Unicode.
// On Windows they use the system's code page tables, natively iconv's CP936;
// the two tables differ in a handful of characters (see the tests).
#pragma once

#include <string>
#include <string_view>

namespace text {

// Bytes that form no GBK character become replacement characters. Natively
// that is U+FFFD for the lone byte, and a byte after it is read on its own;
// Windows turns a lead byte and whatever byte follows into one '?', and maps
// the user-defined areas to the private use area, which iconv lacks.
std::u16string GbkToUtf16(std::string_view gbk);

// Characters that code page 936 lacks become its default character '?', never
// a look-alike.
std::string Utf16ToGbk(std::u16string_view utf16);

// Invalid UTF-8 becomes U+FFFD (and so '?' in GBK): natively one per byte,
// on Windows one per broken sequence.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

inline std::string GbkToUtf8(std::string_view gbk) { return Utf16ToUtf8(GbkToUtf16(gbk)); }
inline std::string Utf8ToGbk(std::string_view utf8) { return Utf16ToGbk(Utf8ToUtf16(utf8)); }

}  // namespace text
