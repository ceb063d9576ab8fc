// A fixed-length text variable of the programs.
#pragma once

#include <cstddef>
#include <string_view>

namespace textio {

// Blank-padded; trailing blanks are part of its value.
template <std::size_t N>
struct Text {
  char c[N];

  constexpr Text() {
    for (char& x : c) x = ' ';
  }
  template <std::size_t M>
  constexpr Text(const char (&s)[M]) {  // NOLINT: a literal initialises a text
    for (std::size_t j = 0; j < N; ++j) c[j] = j + 1 < M ? s[j] : ' ';
  }
  constexpr std::string_view view() const { return {c, N}; }
};

}  // namespace textio
