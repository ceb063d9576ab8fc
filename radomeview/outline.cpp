#include "radomeview/outline.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace radomeview {

void outline_regions(Mesh* m) {
  // The sides of each region: drawn linear segments with the region on one
  // side only.
  std::map<long long, std::vector<const Segment*>> sides;
  for (const Region& r : m->regions) sides[r.number];
  for (const Segment& s : m->segments) {
    if (s.order != 1 || !s.drawn || s.left == s.right) continue;
    for (long long r : {s.left, s.right}) {
      const auto at = sides.find(r);
      if (at != sides.end()) at->second.push_back(&s);
    }
  }
  for (Region& r : m->regions) {
    const std::vector<const Segment*>& list = sides[r.number];
    if (list.size() < 3 || !r.outline.empty()) continue;
    // Each node of a closed loop is the end of exactly two of its sides.
    std::vector<std::array<std::uint32_t, 2>> at_node(m->nodes.size());
    std::vector<unsigned char> ends(m->nodes.size(), 0);
    bool loop_like = true;
    for (std::size_t k = 0; k < list.size() && loop_like; ++k) {
      for (int e = 0; e < 2; ++e) {
        const std::size_t n = static_cast<std::size_t>(list[k]->at[e]);
        if (ends[n] == 2) loop_like = false;
        if (ends[n] < 2) at_node[n][ends[n]++] = static_cast<std::uint32_t>(k);
      }
    }
    for (std::size_t k = 0; k < list.size() && loop_like; ++k) {
      loop_like = ends[static_cast<std::size_t>(list[k]->at[0])] == 2 && ends[static_cast<std::size_t>(list[k]->at[1])] == 2;
    }
    if (!loop_like) continue;
    std::vector<bool> used(list.size(), false);
    std::vector<Vec> loop;
    loop.reserve(list.size());
    const int start = list[0]->at[0];
    int node = start;
    std::size_t k = 0;
    for (std::size_t steps = 0; steps < list.size(); ++steps) {
      used[k] = true;
      loop.push_back(m->drawn(m->nodes[static_cast<std::size_t>(node)]));
      node = list[k]->at[0] == node ? list[k]->at[1] : list[k]->at[0];
      const std::array<std::uint32_t, 2>& next = at_node[static_cast<std::size_t>(node)];
      k = used[next[0]] ? next[1] : next[0];
      if (node == start) break;
    }
    if (node == start && loop.size() == list.size()) r.outline = std::move(loop);
  }
}

}  // namespace radomeview
