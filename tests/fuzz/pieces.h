// Raw bytes seldom spell the texts a reader looks for, so an input whose first
// byte is odd is read as a list of pieces instead: a byte below the number of
// pieces picks that piece, the others stand for themselves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

template <std::size_t N>
std::string TextFrom(const std::uint8_t* data, std::size_t size, const char* const (&pieces)[N]) {
  const auto* bytes = reinterpret_cast<const char*>(data);
  if (size == 0 || data[0] % 2 == 0) return std::string(bytes, size);
  std::string text;
  for (std::size_t i = 1; i < size; ++i) {
    if (data[i] < N) {
      text += pieces[data[i]];
    } else {
      text += bytes[i];
    }
  }
  return text;
}
