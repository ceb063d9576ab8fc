// Every output conversion the programs use over arbitrary 32-bit floats and
// integers, each checked against the exact reference and its field width.
// Input: 4 bytes of value, then one byte choosing the float field.
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "textio/edit.h"
#include "unit/exact_reference.h"

namespace {

void check_e(float x, int w, int d, int k) {
  char out[64];
  std::memset(out, 0, sizeof out);
  textio::edit_e(out, x, w, d, k);
  if (out[w] != 0 || std::string(out, static_cast<std::size_t>(w)) != reference::e_field(x, w, d, k)) __builtin_trap();
}

void check_i(std::int32_t v, int w) {
  char out[16] = {};
  const bool fits = textio::edit_i(out, v, w);
  const std::string digits = std::to_string(v);
  const std::string want = static_cast<int>(digits.size()) > w
                               ? std::string(static_cast<std::size_t>(w), '*')
                               : std::string(static_cast<std::size_t>(w) - digits.size(), ' ') + digits;
  if (out[w] != 0 || want != std::string(out, static_cast<std::size_t>(w)) || fits != (want[0] != '*')) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::uint32_t bits;
  std::memcpy(&bits, data, 4);
  const float x = std::bit_cast<float>(bits);
  switch (size > 4 ? data[4] % 4 : 0) {
    case 0: check_e(x, 13, 5, 1); break;
    case 1: check_e(x, 12, 4, 1); break;
    case 2: check_e(x, 18, 10, 0); break;
    default: {
      char list[16] = {};
      textio::edit_list_float(list, x);
      if (list[15] != 0 || std::string(list, 15) != reference::list_float(x)) __builtin_trap();
    }
  }
  const auto v = static_cast<std::int32_t>(bits);
  for (int w : {1, 2, 4, 6, 11, 12}) check_i(v, w);
  check_i(v % 1000, 4);
  return 0;
}
