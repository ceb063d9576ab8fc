// radomeview's points reader, and checks over arbitrary bytes: no crash, no
// sanitizer report, findings that are printable text. The picture has a
// target of its own (fuzz_radomeview_picture).
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/radomeview_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  radomeview::FileReport r;
  radomeview_fuzz::check(data, size, radomeview::Kind::points, &r);
  return 0;
}
