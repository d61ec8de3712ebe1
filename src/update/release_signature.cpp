#include "update/release_signature.h"

#include <algorithm>
#include <vector>

namespace update {

namespace {

// The parts of a dotted version; nothing when it is not one.
std::optional<std::vector<long>> VersionParts(std::string_view version) {
  std::vector<long> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t dot = std::min(version.find('.', start), version.size());
    const std::string_view digits = version.substr(start, dot - start);
    if (digits.empty() || digits.size() > 9) return std::nullopt;
    long value = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return std::nullopt;
      value = value * 10 + (c - '0');
    }
    parts.push_back(value);
    if (dot == version.size()) return parts;
    start = dot + 1;
  }
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string SignedText(std::string_view version, std::string_view fileName, std::string_view sha256) {
  std::string text = "lyrimark-update-v1\n";
  text.append(version).append("\n").append(fileName).append("\n").append(sha256);
  return text;
}

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    hex += kDigits[static_cast<unsigned char>(c) >> 4];
    hex += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return hex;
}

std::optional<std::string> DecodeBase64(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::size_t padding = 0;
  while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
  std::string bytes;
  unsigned bits = 0;
  int count = 0;
  for (std::size_t i = 0; i < text.size() - padding; ++i) {
    const int v = Base64Value(text[i]);
    if (v < 0) return std::nullopt;
    bits = (bits << 6) | static_cast<unsigned>(v);
    count += 6;
    if (count >= 8) {
      count -= 8;
      bytes += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  // The bits the padding stands for must be zero, so one text means one byte string.
  if ((bits & ((1u << count) - 1)) != 0) return std::nullopt;
  return bytes;
}

bool IsNewerVersion(std::string_view candidate, std::string_view own) {
  const auto a = VersionParts(candidate);
  const auto b = VersionParts(own);
  if (!a || !b) return false;
  for (std::size_t i = 0; i < std::max(a->size(), b->size()); ++i) {
    const long x = i < a->size() ? (*a)[i] : 0;
    const long y = i < b->size() ? (*b)[i] : 0;
    if (x != y) return x > y;
  }
  return false;
}

}  // namespace update
