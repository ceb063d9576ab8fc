// radomeview's points reader, checks and picture over arbitrary bytes: no
// crash, no sanitizer report, and a picture that is well-formed as far as
// its element tags balance.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/radomeview_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  radomeview_fuzz::run(data, size, radomeview::Kind::points);
  return 0;
}
