// Items of read and write statements: references to, or values of, the
// programs' 32-bit integers, 32-bit floats and fixed-length texts.
#pragma once

#include <cstdint>

namespace textio {

enum class ItemKind : unsigned char { integer, real, text };

// One output item, by value.
struct OutItem {
  ItemKind kind;
  std::int32_t i = 0;
  float f = 0.0f;
  const char* s = nullptr;
  int len = 0;
};

// One input item: the variable to fill (integer or real).
struct InItem {
  ItemKind kind;
  void* p;
};

}  // namespace textio
