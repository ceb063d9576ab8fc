#include "radomeview/meshcheck.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "radomeview/median.h"
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
  if (!std::is_sorted(index.begin(), index.end())) std::sort(index.begin(), index.end());
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
  // Numbered first to first + N - 1, as most meshes are: found by their number alone.
  const bool dense = !index.empty() && index.back().first - index.front().first == static_cast<long long>(index.size()) - 1 &&
                     std::none_of(repeated.begin(), repeated.end(), [](bool r) { return r; });
  const auto find = [&](long long number) {
    if (dense) {
      if (number < index.front().first || number > index.back().first) return index.end();
      return index.begin() + (number - index.front().first);
    }
    return std::lower_bound(index.begin(), index.end(), std::make_pair(number, -1));
  };
  for (Segment& s : m->segments) {
    bool all = true;
    for (int k = 0; k < s.count(); ++k) {
      const auto at = find(s.n[k]);
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

// A node absurdly far from the rest, measured in the mesh's own size: the
// median distance of its nodes from their middle (the median of each
// coordinate). A radial end cut with the shroud at 90 degrees divides by a
// cosine of about 6e-17 and puts a node there.
void far(Mesh* m, Findings* f) {
  std::vector<double> xs, ys;
  xs.reserve(m->nodes.size());
  ys.reserve(m->nodes.size());
  for (const Node& n : m->nodes) {
    if (!n.placed) continue;
    xs.push_back(n.at.x);
    ys.push_back(n.at.y);
  }
  if (xs.size() < 3) return;
  const Vec middle{median(&xs), median(&ys)};
  std::vector<double> d;
  d.reserve(xs.size());
  for (const Node& n : m->nodes) {
    if (n.placed) d.push_back(std::hypot(n.at.x - middle.x, n.at.y - middle.y));
  }
  const double size = median(&d);
  if (!(size > 0)) return;
  // Well within reach by the square of its distance, as nearly every node
  // is: no need of the exact distance. (Only with squares far from the
  // least doubles, whose precision is poor.)
  const double near2 = 0.99 * (kFar * size) * (kFar * size);
  const bool by_square = near2 > 1e-290;
  for (Node& n : m->nodes) {
    if (!n.placed) continue;
    const double dx = n.at.x - middle.x, dy = n.at.y - middle.y;
    if (by_square && dx * dx + dy * dy < near2) continue;
    const double away = std::hypot(dx, dy);
    if (away > kFar * size) {
      n.placed = false;
      f->add(n.line, Severity::error,
             "node " + std::to_string(n.number) + " at (" + six_digits(n.at.x) + ", " + six_digits(n.at.y) + ") is " +
                 six_digits(std::floor(away / size)) +
                 " mesh sizes from the middle of the mesh: likely a radial end cut with the shroud at 90 degrees");
    }
  }
}

// Two segments found to meet, by index, and where.
struct Hit {
  std::uint32_t first, second;
  Vec where;
};

// A straight piece of a segment, for the crossing test: a linear segment
// whole, or one of the six chords of a cubic one's curve through its nodes.
// Its ends are worked out when needed, not kept: the nodes of a large mesh
// are not copied once more.
struct Piece {
  std::uint32_t segment;
  std::uint32_t chord;  // 1 to 6 along a cubic segment, 0 for a linear one
};

struct Ends {
  Vec a, b;
};

// The point of a cubic segment's curve at t = k/6, k from 0 to 6: the
// cubic through its four nodes at t = 0, 1/3, 2/3 and 1.
Vec on_cubic(const Mesh& m, const Segment& s, int k) {
  Vec p[4];
  for (int j = 0; j < 4; ++j) p[j] = m.nodes[static_cast<std::size_t>(s.at[j])].at;
  if (k % 2 == 0) return p[k / 2];  // the nodes themselves, exactly
  const double t = k / 6.0;
  const double l0 = -4.5 * (t - 1.0 / 3) * (t - 2.0 / 3) * (t - 1);
  const double l1 = 13.5 * t * (t - 2.0 / 3) * (t - 1);
  const double l2 = -13.5 * t * (t - 1.0 / 3) * (t - 1);
  const double l3 = 4.5 * t * (t - 1.0 / 3) * (t - 2.0 / 3);
  return Vec{l0 * p[0].x + l1 * p[1].x + l2 * p[2].x + l3 * p[3].x, l0 * p[0].y + l1 * p[1].y + l2 * p[2].y + l3 * p[3].y};
}

Ends ends(const Mesh& m, Piece p) {
  const Segment& s = m.segments[p.segment];
  if (p.chord == 0) {
    return Ends{m.nodes[static_cast<std::size_t>(s.at[0])].at, m.nodes[static_cast<std::size_t>(s.at[1])].at};
  }
  const int k = static_cast<int>(p.chord);
  return Ends{on_cubic(m, s, k - 1), on_cubic(m, s, k)};
}

double length(const Ends& e) { return std::hypot(e.b.x - e.a.x, e.b.y - e.a.y); }

// A (cell, piece) pair of the crossing test's listing: one 64-bit number,
// the cell above the piece, where both fit in it (they nearly always do), or
// a pair.
struct Packed {
  using Entry = std::uint64_t;
  int piece_bits;
  Entry make(std::uint64_t cell, std::uint32_t piece) const { return cell << piece_bits | piece; }
  std::uint64_t cell(Entry e) const { return e >> piece_bits; }
  std::uint32_t piece(Entry e) const { return static_cast<std::uint32_t>(e & ((std::uint64_t{1} << piece_bits) - 1)); }
};
struct Wide {
  using Entry = std::pair<std::uint64_t, std::uint32_t>;
  Entry make(std::uint64_t cell, std::uint32_t piece) const { return {cell, piece}; }
  std::uint64_t cell(const Entry& e) const { return e.first; }
  std::uint32_t piece(const Entry& e) const { return e.second; }
};

// Sorts by cell, of `bits` bits, sixteen bits a pass; the entries of one
// cell stay in the order they were listed in, that of their pieces.
template <class Form>
void radix_sort(std::vector<typename Form::Entry>* v, const Form& form, int bits) {
  using Entry = typename Form::Entry;
  // Passes go back and forth between the listing and a second array left
  // uncleared: every entry of it is written before it is read.
  const std::unique_ptr<Entry[]> second(new Entry[v->size()]);
  Entry* from = v->data();
  Entry* to = second.get();
  std::vector<std::size_t> at(1 << 16 | 1);
  for (int shift = 0; shift < bits; shift += 16) {
    std::fill(at.begin(), at.end(), 0);
    for (std::size_t i = 0; i < v->size(); ++i) ++at[((form.cell(from[i]) >> shift) & 0xFFFF) + 1];
    for (std::size_t k = 1; k < at.size(); ++k) at[k] += at[k - 1];
    for (std::size_t i = 0; i < v->size(); ++i) to[at[(form.cell(from[i]) >> shift) & 0xFFFF]++] = from[i];
    std::swap(from, to);
  }
  if (from != v->data()) std::copy(from, from + v->size(), v->data());
}

// Segments that meet anywhere but at a shared node. Each piece is listed
// in the cells of a grid that its box covers, the cells about as large as
// the typical piece; only pieces listed in one cell are tested, a pair once,
// in the first cell they share. Time grows with the pieces, not their square.
void crossings(const Mesh& m, Findings* f) {
  std::vector<Piece> pieces;
  std::size_t most = 0;
  for (const Segment& s : m.segments) most += s.order == 3 ? 6 : 1;
  pieces.reserve(most);
  for (std::uint32_t i = 0; i < m.segments.size(); ++i) {
    const Segment& s = m.segments[i];
    if (!s.drawn) continue;
    if (s.order == 1) {
      pieces.push_back(Piece{i, 0});
    } else {
      for (std::uint32_t k = 1; k <= 6; ++k) pieces.push_back(Piece{i, k});
    }
  }
  if (pieces.size() < 2) return;
  // Cells of the median piece's size, at most 2^20 to a side, larger where
  // long pieces would be listed in too many.
  Extents e;
  std::vector<double> lengths;
  lengths.reserve(pieces.size());
  for (const Piece& piece : pieces) {
    const Ends p = ends(m, piece);
    e.add(p.a);
    e.add(p.b);
    lengths.push_back(std::max(std::abs(p.b.x - p.a.x), std::abs(p.b.y - p.a.y)));
  }
  const double span = std::max(e.x1 - e.x0, e.y1 - e.y0);
  double size = std::max(median(&lengths), span / (1 << 20));
  std::vector<double>().swap(lengths);
  if (!(size > 0) || !std::isfinite(size)) size = std::isfinite(span) && span > 0 ? span : 1;
  struct Box {
    std::uint32_t x0, x1, y0, y1;
  };
  std::vector<Box> boxes(pieces.size());
  std::size_t total = 0;
  for (;;) {
    const auto cell = [&](double v, double lo) {
      const double k = std::floor((v - lo) / size);
      if (!(k > 0)) return std::uint32_t{0};
      return k >= double{1 << 20} ? std::uint32_t{(1 << 20) - 1} : static_cast<std::uint32_t>(k);
    };
    total = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const Ends p = ends(m, pieces[i]);
      Box& b = boxes[i];
      b = Box{cell(std::min(p.a.x, p.b.x), e.x0), cell(std::max(p.a.x, p.b.x), e.x0),
              cell(std::min(p.a.y, p.b.y), e.y0), cell(std::max(p.a.y, p.b.y), e.y0)};
      total += std::size_t{b.x1 - b.x0 + 1} * (b.y1 - b.y0 + 1);
    }
    if (total <= 16 * pieces.size() + 1024 || !(size < span)) break;
    size *= 4;
  }
  // (cell, piece) pairs, sorted by cell, the cells numbered row by row.
  std::uint64_t columns = 1, rows = 1;
  for (const Box& b : boxes) {
    columns = std::max<std::uint64_t>(columns, b.x1 + 1);
    rows = std::max<std::uint64_t>(rows, b.y1 + 1);
  }
  const int cell_bits = std::bit_width(rows * columns - 1);
  const int piece_bits = std::max(1, static_cast<int>(std::bit_width(pieces.size() - 1)));
  std::vector<Hit> hits;
  bool complete = true;
  const auto test = [&](const auto& form) {
    using Form = std::decay_t<decltype(form)>;
    std::vector<typename Form::Entry> listed;
    listed.reserve(total);
    for (std::uint32_t i = 0; i < pieces.size(); ++i) {
      const Box& b = boxes[i];
      for (std::uint64_t y = b.y0; y <= b.y1; ++y) {
        for (std::uint64_t x = b.x0; x <= b.x1; ++x) listed.push_back(form.make(y * columns + x, i));
      }
    }
    if (listed.size() > (1 << 16)) {
      radix_sort(&listed, form, cell_bits);
    } else {
      // The same order: the entries of a cell by piece.
      std::sort(listed.begin(), listed.end(), [&](const auto& x, const auto& y) {
        return form.cell(x) != form.cell(y) ? form.cell(x) < form.cell(y) : form.piece(x) < form.piece(y);
      });
    }
    std::size_t pairs = 0;
    for (std::size_t from = 0; from < listed.size() && complete;) {
      const std::uint64_t here = form.cell(listed[from]);
      std::size_t to = from;
      while (to < listed.size() && form.cell(listed[to]) == here) ++to;
      const std::uint32_t cx = static_cast<std::uint32_t>(here % columns);
      const std::uint32_t cy = static_cast<std::uint32_t>(here / columns);
      for (std::size_t i = from; i < to && complete; ++i) {
        const std::uint32_t pi = form.piece(listed[i]);
        const std::uint32_t sa = pieces[pi].segment;
        const Box& ba = boxes[pi];
        Ends a;
        bool have_a = false;  // its ends, worked out at its first test
        double la = -1;       // its length, likewise
        for (std::size_t j = i + 1; j < to; ++j) {
          const std::uint32_t pj = form.piece(listed[j]);
          const std::uint32_t sb = pieces[pj].segment;
          if (sa == sb) continue;
          const Box& bb = boxes[pj];
          if (std::max(ba.x0, bb.x0) != cx || std::max(ba.y0, bb.y0) != cy) continue;  // tested elsewhere
          if (!have_a) {
            a = ends(m, pieces[pi]);
            have_a = true;
          }
          const Ends b = ends(m, pieces[pj]);
          // Boxes apart by more than rounding: no meeting.
          const double tol = 1e-9 * std::max({std::abs(a.a.x), std::abs(a.a.y), std::abs(a.b.x), std::abs(a.b.y),
                                              std::abs(b.a.x), std::abs(b.a.y), std::abs(b.b.x), std::abs(b.b.y)});
          if (std::min(a.a.x, a.b.x) > std::max(b.a.x, b.b.x) + tol ||
              std::min(b.a.x, b.b.x) > std::max(a.a.x, a.b.x) + tol ||
              std::min(a.a.y, a.b.y) > std::max(b.a.y, b.b.y) + tol ||
              std::min(b.a.y, b.b.y) > std::max(a.a.y, a.b.y) + tol) {
            continue;
          }
          if (++pairs > kMaxPairs) {
            complete = false;
            break;
          }
          if (only_an_end_shared(a.a, a.b, b.a, b.b)) continue;
          if (la < 0) la = length(a);
          Vec where;
          if (segments_cross(a.a, a.b, la, b.a, b.b, length(b), &where)) {
            hits.push_back(Hit{std::min(sa, sb), std::max(sa, sb), where});
          }
        }
      }
      from = to;
    }
  };
  if (cell_bits + piece_bits <= 64) {
    test(Packed{piece_bits});
  } else {
    test(Wide{});
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
