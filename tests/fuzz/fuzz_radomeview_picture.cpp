// radomeview's picture of any file: the first byte picks the kind, the rest is
// the file, read, checked and drawn. The SVG stays well-formed as far as its
// element tags balance, free of the file's control bytes, and within 2 MB.
#include <cstdint>

#include "fuzz/radomeview_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const radomeview::Kind kinds[] = {radomeview::Kind::points, radomeview::Kind::rsf, radomeview::Kind::tor};
  radomeview::FileReport r;
  radomeview_fuzz::check(data + 1, size - 1, kinds[data[0] % 3], &r);
  radomeview_fuzz::draw(r);
  return 0;
}
