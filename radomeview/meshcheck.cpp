#include "radomeview/meshcheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "radomeview/numtext.h"

namespace radomeview {
namespace {

// Farther than this many mesh sizes from the middle of the mesh is no real
// geometry: a coordinate divided by almost zero.
constexpr double kFar = 1000;
// Pairs of pieces tested for crossing at most; beyond, a warning says so.
constexpr std::size_t kMaxPairs = 50'000'000;

// Joins each segment to its nodes, by their own numbers in any order; a
// number given twice and a node not found are errors.
void link(Mesh* m, Findings* f) {
  std::vector<std::pair<long long, int>> index;
  index.reserve(m->nodes.size());
  for (std::size_t i = 0; i < m->nodes.size(); ++i) index.emplace_back(m->nodes[i].number, static_cast<int>(i));
  std::sort(index.begin(), index.end());
  std::vector<bool> repeated(m->nodes.size(), false);
  for (std::size_t i = 1; i < index.size(); ++i) {
    if (index[i].first == index[i - 1].first) repeated[static_cast<std::size_t>(index[i].second)] = true;
  }
  for (std::size_t i = 0; i < m->nodes.size(); ++i) {
    if (!repeated[i]) continue;
    Node& n = m->nodes[i];
    n.used = true;  // said once, as a number used again
    const auto first = std::lower_bound(index.begin(), index.end(), std::make_pair(n.number, -1));
    f->add(n.line, Severity::error,
           "node number " + std::to_string(n.number) + " is used again (first at line " +
               std::to_string(m->nodes[static_cast<std::size_t>(first->second)].line) + ")");
  }
  for (Segment& s : m->segments) {
    bool all = true;
    for (int k = 0; k < s.count(); ++k) {
      const auto at = std::lower_bound(index.begin(), index.end(), std::make_pair(s.n[k], -1));
      if (at == index.end() || at->first != s.n[k]) {
        bool said = false;
        for (int j = 0; j < k; ++j) said = said || s.n[j] == s.n[k];
        if (!said) {
          f->add(s.line, Severity::error,
                 "segment " + std::to_string(s.number) + ": node " + std::to_string(s.n[k]) + " does not exist");
        }
        all = false;
        continue;
      }
      s.at[k] = at->second;
      m->nodes[static_cast<std::size_t>(at->second)].used = true;
    }
    if (!all) std::fill(std::begin(s.at), std::end(s.at), -1);
  }
}

void unused(const Mesh& m, Findings* f) {
  if (m.segments.empty()) {
    f->add(m.line, Severity::warning, "bor_mesh " + shown(m.name) + " has no segments: there is nothing to analyse");
    return;
  }
  for (const Node& n : m.nodes) {
    if (!n.used) f->add(n.line, Severity::warning, "node " + std::to_string(n.number) + " is used by no segment");
  }
}

// Laid out as linermesh writes it: nodes and linear segments numbered 1 to
// N in order, segment 1 (the metal) from node 1 to node 2, regions 1 to N
// of three numbers each, and no region named that the mesh does not hold.
bool ours(const Mesh& m) {
  if (m.segments.empty()) return false;
  for (std::size_t i = 0; i < m.nodes.size(); ++i) {
    if (m.nodes[i].number != static_cast<long long>(i) + 1) return false;
  }
  for (std::size_t i = 0; i < m.segments.size(); ++i) {
    const Segment& s = m.segments[i];
    if (s.order != 1 || s.number != static_cast<long long>(i) + 1) return false;
  }
  if (m.segments[0].n[0] != 1 || m.segments[0].n[1] != 2) return false;
  for (std::size_t i = 0; i < m.regions.size(); ++i) {
    if (!m.regions[i].material || m.regions[i].number != static_cast<long long>(i) + 1) return false;
  }
  if (m.regions.empty()) {
    // Another object defines the regions.
    for (const Segment& s : m.segments) {
      if (s.left != 0 || s.right != 0) return false;
    }
  }
  return true;
}

// Checks of our own layout: every region a segment names is 0 or a row of
// regions, and layer j's thickness, the variable SHTHj where the file has
// one, is above zero.
void layout(const Mesh& m, const Resolver& values, Findings* f) {
  for (const Segment& s : m.segments) {
    for (long long r : {s.left, s.right}) {
      if (r != 0 && (r < 1 || r > static_cast<long long>(m.regions.size()))) {
        f->add(s.line, Severity::error,
               "segment " + std::to_string(s.number) + ": region " + std::to_string(r) +
                   " is neither 0 nor a row of regions");
      }
    }
  }
  for (const Region& r : m.regions) {
    const Variable* v = values.variable("SHTH" + std::to_string(r.number));
    if (v && v->known && !(v->value > 0)) {
      f->add(v->line, Severity::error,
             "layer " + std::to_string(r.number) + " has thickness " + shortest(v->value) + ": not above zero");
    }
  }
}

double median(std::vector<double>* v) {
  if (v->empty()) return 0;
  const auto mid = v->begin() + static_cast<std::ptrdiff_t>(v->size() / 2);
  std::nth_element(v->begin(), mid, v->end());
  return *mid;
}

// A node absurdly far from the rest, measured in the mesh's own size: the
// median distance of its nodes from their middle (the median of each
// coordinate). A radial end cut with the shroud at 90 degrees divides by a
// cosine of about 6e-17 and puts a node there.
void far(Mesh* m, Findings* f) {
  std::vector<double> xs, ys;
  for (const Node& n : m->nodes) {
    if (!n.placed) continue;
    xs.push_back(n.at.x);
    ys.push_back(n.at.y);
  }
  if (xs.size() < 3) return;
  const Vec middle{median(&xs), median(&ys)};
  std::vector<double> d;
  for (const Node& n : m->nodes) {
    if (n.placed) d.push_back(std::hypot(n.at.x - middle.x, n.at.y - middle.y));
  }
  const double size = median(&d);
  if (!(size > 0)) return;
  for (Node& n : m->nodes) {
    if (!n.placed) continue;
    const double away = std::hypot(n.at.x - middle.x, n.at.y - middle.y);
    if (away > kFar * size) {
      n.placed = false;
      f->add(n.line, Severity::error,
             "node " + std::to_string(n.number) + " at (" + six_digits(n.at.x) + ", " + six_digits(n.at.y) + ") is " +
                 six_digits(std::floor(away / size)) +
                 " mesh sizes from the middle of the mesh: likely a radial end cut with the shroud at 90 degrees");
    }
  }
}

// A straight piece of a segment, for the crossing test.
struct Piece {
  Vec a, b;
  std::uint32_t segment;
};

// The pieces of a segment: a linear one whole, a cubic one as six chords of
// its curve, through its nodes.
void pieces_of(const Mesh& m, std::uint32_t index, std::vector<Piece>* out) {
  const Segment& s = m.segments[index];
  const Vec p0 = m.nodes[static_cast<std::size_t>(s.at[0])].at;
  if (s.order == 1) {
    out->push_back(Piece{p0, m.nodes[static_cast<std::size_t>(s.at[1])].at, index});
    return;
  }
  Vec p[4];
  for (int k = 0; k < 4; ++k) p[k] = m.nodes[static_cast<std::size_t>(s.at[k])].at;
  Vec prev = p[0];
  for (int k = 1; k <= 6; ++k) {
    Vec q;
    if (k % 2 == 0) {
      q = p[k / 2];  // the nodes themselves, exactly
    } else {
      // The cubic through the four nodes at t = 0, 1/3, 2/3, 1, at t = k/6.
      const double t = k / 6.0;
      const double l0 = -4.5 * (t - 1.0 / 3) * (t - 2.0 / 3) * (t - 1);
      const double l1 = 13.5 * t * (t - 2.0 / 3) * (t - 1);
      const double l2 = -13.5 * t * (t - 1.0 / 3) * (t - 1);
      const double l3 = 4.5 * t * (t - 1.0 / 3) * (t - 2.0 / 3);
      q = Vec{l0 * p[0].x + l1 * p[1].x + l2 * p[2].x + l3 * p[3].x, l0 * p[0].y + l1 * p[1].y + l2 * p[2].y + l3 * p[3].y};
    }
    out->push_back(Piece{prev, q, index});
    prev = q;
  }
}

// Segments that meet anywhere but at a shared node. The pieces go into a
// grid of about as many cells as pieces, and only pieces that share a cell
// are tested: a pair once, in the first cell they share.
void crossings(const Mesh& m, Findings* f) {
  std::vector<Piece> pieces;
  for (std::uint32_t i = 0; i < m.segments.size(); ++i) {
    if (m.segments[i].drawn) pieces_of(m, i, &pieces);
  }
  if (pieces.size() < 2) return;
  Extents e;
  for (const Piece& p : pieces) {
    e.add(p.a);
    e.add(p.b);
  }
  // About as many cells as pieces, fewer when long pieces would fill too
  // many: each piece is listed in every cell its box covers.
  std::size_t side = std::clamp<std::size_t>(static_cast<std::size_t>(std::sqrt(static_cast<double>(pieces.size()))), 1, 1024);
  struct Box {
    std::size_t x0, x1, y0, y1;
  };
  std::vector<Box> boxes(pieces.size());
  std::size_t listed = 0;
  for (;;) {
    const double w = (e.x1 - e.x0) / static_cast<double>(side), h = (e.y1 - e.y0) / static_cast<double>(side);
    const auto cell = [&](double v, double lo, double step) {
      const double k = step > 0 ? std::floor((v - lo) / step) : 0;
      if (!(k > 0)) return std::size_t{0};
      return k >= static_cast<double>(side - 1) ? side - 1 : static_cast<std::size_t>(k);
    };
    listed = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const Piece& p = pieces[i];
      Box& b = boxes[i];
      b.x0 = cell(std::min(p.a.x, p.b.x), e.x0, w);
      b.x1 = cell(std::max(p.a.x, p.b.x), e.x0, w);
      b.y0 = cell(std::min(p.a.y, p.b.y), e.y0, h);
      b.y1 = cell(std::max(p.a.y, p.b.y), e.y0, h);
      listed += (b.x1 - b.x0 + 1) * (b.y1 - b.y0 + 1);
    }
    if (listed <= 16 * pieces.size() + 1024 || side == 1) break;
    side /= 2;
  }
  std::vector<std::size_t> count(side * side + 1, 0);
  for (const Box& b : boxes) {
    for (std::size_t y = b.y0; y <= b.y1; ++y) {
      for (std::size_t x = b.x0; x <= b.x1; ++x) ++count[y * side + x + 1];
    }
  }
  for (std::size_t c = 1; c < count.size(); ++c) count[c] += count[c - 1];
  std::vector<std::uint32_t> members(listed);
  std::vector<std::size_t> fill(count.begin(), count.end() - 1);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const Box& b = boxes[i];
    for (std::size_t y = b.y0; y <= b.y1; ++y) {
      for (std::size_t x = b.x0; x <= b.x1; ++x) members[fill[y * side + x]++] = static_cast<std::uint32_t>(i);
    }
  }
  struct Hit {
    std::uint32_t first, second;
    Vec where;
  };
  std::vector<Hit> hits;
  std::size_t pairs = 0;
  bool complete = true;
  for (std::size_t c = 0; c + 1 < count.size() && complete; ++c) {
    const std::size_t cx = c % side, cy = c / side;
    for (std::size_t i = count[c]; i < count[c + 1] && complete; ++i) {
      const std::uint32_t pi = members[i];
      for (std::size_t j = i + 1; j < count[c + 1]; ++j) {
        const std::uint32_t pj = members[j];
        const Piece &a = pieces[pi], &b = pieces[pj];
        if (a.segment == b.segment) continue;
        // Tested in the first cell the two boxes share only.
        const Box &ba = boxes[pi], &bb = boxes[pj];
        if (std::max(ba.x0, bb.x0) != cx || std::max(ba.y0, bb.y0) != cy) continue;
        if (++pairs > kMaxPairs) {
          complete = false;
          break;
        }
        Vec where;
        if (segments_cross(a.a, a.b, b.a, b.b, &where)) {
          hits.push_back(Hit{std::min(a.segment, b.segment), std::max(a.segment, b.segment), where});
        }
      }
    }
  }
  if (!complete) {
    f->add(m.line, Severity::warning,
           "bor_mesh " + shown(m.name) + ": more than " + std::to_string(kMaxPairs) +
               " pairs of segments near each other: not all checked for crossings");
  }
  // In the order of the segments, each pair once.
  std::stable_sort(hits.begin(), hits.end(), [](const Hit& x, const Hit& y) {
    return x.first != y.first ? x.first < y.first : x.second < y.second;
  });
  for (std::size_t k = 0; k < hits.size(); ++k) {
    if (k > 0 && hits[k].first == hits[k - 1].first && hits[k].second == hits[k - 1].second) continue;
    const Segment &s = m.segments[hits[k].first], &t = m.segments[hits[k].second];
    const Vec w = hits[k].where;
    f->add_at(t.line, Severity::error,
              "segments " + std::to_string(s.number) + " and " + std::to_string(t.number) + " cross at (" +
                  six_digits(w.x) + ", " + six_digits(w.y) + ")",
              w.x * m.factor, w.y * m.factor);
  }
}

}  // namespace

void check_mesh(Mesh* m, const Resolver& values, Findings* f) {
  link(m, f);
  unused(*m, f);
  m->ours = ours(*m);
  m->metal = m->ours;
  if (m->ours) layout(*m, values, f);
  far(m, f);
  for (Segment& s : m->segments) {
    s.drawn = s.at[0] >= 0;
    for (int k = 0; k < s.count() && s.drawn; ++k) s.drawn = m->nodes[static_cast<std::size_t>(s.at[k])].placed;
  }
  crossings(*m, f);
}

}  // namespace radomeview
