// What a signed update is checked against: the text its signature covers, the
// version rule, and the base64 its key and signature are written in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace update {

// The bytes a release's signature covers: "lyrimark-update-v1\n" + version +
// "\n" + file name (GBK, as the page gives it) + "\n" + the lowercase hex
// SHA-256 of the file.
std::string SignedText(std::string_view version, std::string_view fileName, std::string_view sha256);

// Lowercase hex of bytes.
std::string Hex(std::string_view bytes);

// Standard base64 with its padding; nothing for any other text (blanks,
// line breaks and the URL alphabet included).
std::optional<std::string> DecodeBase64(std::string_view text);

// Whether `candidate` is a version after `own`. Versions are dotted decimal
// numbers ("3.4", "3.3.1"); a missing part counts as 0, so "3.3" and "3.3.0"
// are the same version. Anything else (empty parts, signs, letters, more than
// nine digits in a part) is no version and never newer.
bool IsNewerVersion(std::string_view candidate, std::string_view own);

}  // namespace update
