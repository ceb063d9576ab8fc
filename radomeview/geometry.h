// Plane geometry of the drawings and the checks: extents, crossings,
// distances, round tick steps and a polyline simplified as it streams by.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace radomeview {

struct Vec {
  double x = 0, y = 0;
};

struct Extents {
  double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
  bool any = false;
  void add(Vec p) {
    if (!any) {
      x0 = x1 = p.x;
      y0 = y1 = p.y;
      any = true;
      return;
    }
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  double span() const;  // the larger of width and height
};

// Two segments meet anywhere but at a point that is an end of both, within
// a rounding tolerance relative to their size; *where is a place they meet.
bool segments_cross(Vec a, Vec b, Vec c, Vec d, Vec* where);
// The same with the lengths of both, std::hypot of their ends' differences,
// worked out once by a caller that tests a segment against many.
bool segments_cross(Vec a, Vec b, double lab, Vec c, Vec d, double lcd, Vec* where);

// The cross product of a-o and b-o, as segments_cross works it out.
inline double geometry_cross(Vec o, Vec a, Vec b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

// True when segments a-b and c-d share an end exactly and the other end
// of each is clear of the other's line by more than that tolerance:
// segments_cross then says no, and this says so without their lengths, in
// a fraction of the time (a chain of segments is mostly such pairs). False
// when it cannot tell.
inline bool only_an_end_shared(Vec a, Vec b, Vec c, Vec d) {
  const auto same = [](Vec u, Vec v) { return u.x == v.x && u.y == v.y; };
  // The end of c-d that is not shared, against the line a-b, and the end of
  // a-b that is not, against c-d; the sides of the shared end are exactly 0.
  Vec q1, q2;
  if (same(b, c)) {
    q1 = d, q2 = a;
  } else if (same(a, d)) {
    q1 = c, q2 = b;
  } else if (same(a, c)) {
    q1 = d, q2 = b;
  } else if (same(b, d)) {
    q1 = c, q2 = a;
  } else {
    return false;
  }
  // Away from overflow and from squares below the normal doubles, where
  // segments_cross's own rounding could decide otherwise.
  const double big = std::max(std::max(std::max(std::abs(a.x), std::abs(a.y)), std::max(std::abs(b.x), std::abs(b.y))),
                              std::max(std::max(std::abs(c.x), std::abs(c.y)), std::max(std::abs(d.x), std::abs(d.y))));
  if (!(big <= 1e100)) return false;
  const double dx1 = std::abs(b.x - a.x), dy1 = std::abs(b.y - a.y), dx2 = std::abs(d.x - c.x), dy2 = std::abs(d.y - c.y);
  const auto tiny = [](double v) { return v != 0 && v < 1e-100; };
  if (tiny(dx1) || tiny(dy1) || tiny(dx2) || tiny(dy2)) return false;
  // Bounds from above of both lengths and of segments_cross's tolerance,
  // with room for rounding: a side clear of these is clear of that.
  const double lab = dx1 + dy1, lcd = dx2 + dy2;
  if (lab == 0 || lcd == 0) return false;
  const double tol = 1e-9 * std::max(std::max(lab, lcd), big) * (1 + 0x1p-40);
  return std::abs(geometry_cross(a, b, q1)) > tol * lab && std::abs(geometry_cross(c, d, q2)) > tol * lcd;
}

double distance_to_segment(Vec p, Vec a, Vec b);

// Tick marks at round numbers: step = mantissa × 10^exponent, mantissa 1, 2 or 5.
struct Ticks {
  long long mantissa = 1;
  int exponent = 0;
  double step() const;
  double value(long long k) const;
  std::string label(long long k) const;  // exact decimal text of k × step
};
// About `count` steps across `span`.
Ticks round_ticks(double span, int count);

// A polyline kept within a tolerance of the points given, in memory that
// does not grow with their number: at most `cap` vertices, the tolerance
// growing with the extents seen so far and doubling whenever the cap is met.
// A NaN vertex marks a gap.
class PathSimplifier {
 public:
  PathSimplifier(std::vector<Vec>* out, std::size_t cap, double relative_tolerance);
  void add(Vec p, const Extents& seen);
  void gap();  // the next point starts a new piece
  void finish();

 private:
  struct Run {
    bool anchored = false, directed = false, pending = false;
    Vec anchor, dir, last;
  };
  static void step(Run* r, Vec p, double tol, std::vector<Vec>* out);
  static void close(Run* r, std::vector<Vec>* out);
  void coarsen();

  std::vector<Vec>* out_;
  std::vector<Vec> spare_;
  std::size_t cap_;
  double relative_, floor_ = 0, tol_ = 0;
  Run run_;
};

}  // namespace radomeview
