#include "radomeview/source.h"

#include <algorithm>
#include <cstring>

namespace radomeview {

std::size_t MemorySource::read(char* to, std::size_t n) {
  const std::size_t k = std::min(n, bytes_.size() - at_);
  if (k > 0) std::memcpy(to, bytes_.data() + at_, k);
  at_ += k;
  return k;
}

}  // namespace radomeview
