// Plane geometry of the drawings and the checks: extents, crossings,
// distances, round tick steps and a polyline simplified as it streams by.
#pragma once

#include <algorithm>
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
