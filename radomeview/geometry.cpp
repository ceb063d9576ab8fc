#include "radomeview/geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace radomeview {

double Extents::span() const { return any ? std::max(x1 - x0, y1 - y0) : 0.0; }

namespace {

double cross(Vec o, Vec a, Vec b) { return geometry_cross(o, a, b); }

}  // namespace

bool segments_cross(Vec a, Vec b, Vec c, Vec d, Vec* where) {
  return segments_cross(a, b, std::hypot(b.x - a.x, b.y - a.y), c, d, std::hypot(d.x - c.x, d.y - c.y), where);
}

bool segments_cross(Vec a, Vec b, double lab, Vec c, Vec d, double lcd, Vec* where) {
  if (!(lab > 0) || !(lcd > 0)) return false;
  // Coordinates computed from expressions carry rounding: closer than this
  // (relative to their size) is the same place or the same line.
  double size = std::max(lab, lcd);
  for (const Vec& p : {a, b, c, d}) size = std::max({size, std::abs(p.x), std::abs(p.y)});
  const double tol = 1e-9 * size;
  // Which side of the line o->p q lies on, 0 when within tol of it.
  const auto side = [&](Vec o, Vec p, double len, Vec q) {
    const double dist = cross(o, p, q) / len;
    return dist > tol ? 1 : dist < -tol ? -1 : 0;
  };
  const int o1 = side(a, b, lab, c), o2 = side(a, b, lab, d);
  const int o3 = side(c, d, lcd, a), o4 = side(c, d, lcd, b);
  const Vec u{(b.x - a.x) / lab, (b.y - a.y) / lab};
  const auto along_ab = [&](Vec p) { return (p.x - a.x) * u.x + (p.y - a.y) * u.y; };
  if (o1 == 0 && o2 == 0) {
    // On one line: they cross when they overlap by more than a point.
    const double lo = std::max(0.0, std::min(along_ab(c), along_ab(d)));
    const double hi = std::min(lab, std::max(along_ab(c), along_ab(d)));
    if (hi - lo <= tol) return false;
    const double t = (lo + hi) / 2;
    *where = Vec{a.x + t * u.x, a.y + t * u.y};
    return true;
  }
  if (o1 * o2 < 0 && o3 * o4 < 0) {
    const double den = (b.x - a.x) * (d.y - c.y) - (b.y - a.y) * (d.x - c.x);
    const double t = ((c.x - a.x) * (d.y - c.y) - (c.y - a.y) * (d.x - c.x)) / den;
    *where = Vec{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
    return true;
  }
  // An end of one inside the other, away from its ends: they meet where no
  // node is shared.
  const auto inside = [&](Vec o, Vec p, double len, Vec q) {
    const double s = ((q.x - o.x) * (p.x - o.x) + (q.y - o.y) * (p.y - o.y)) / len;
    return s > tol && s < len - tol;
  };
  const struct {
    int side;
    Vec o, p;
    double len;
    Vec q;
  } ends[] = {{o1, a, b, lab, c}, {o2, a, b, lab, d}, {o3, c, d, lcd, a}, {o4, c, d, lcd, b}};
  for (const auto& e : ends) {
    if (e.side == 0 && inside(e.o, e.p, e.len, e.q)) {
      *where = e.q;
      return true;
    }
  }
  return false;
}

double distance_to_segment(Vec p, Vec a, Vec b) {
  const double ux = b.x - a.x, uy = b.y - a.y;
  const double len2 = ux * ux + uy * uy;
  double t = len2 > 0 ? ((p.x - a.x) * ux + (p.y - a.y) * uy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * ux), p.y - (a.y + t * uy));
}

double Ticks::step() const { return value(1); }

double Ticks::value(long long k) const {
  double v = static_cast<double>(k * mantissa);
  // Powers of ten by exact products, the same bits everywhere.
  double p = 1;
  for (int i = 0; i < std::abs(exponent); ++i) p *= 10;
  return exponent >= 0 ? v * p : v / p;
}

std::string Ticks::label(long long k) const {
  const long long n = k * mantissa;
  if (n == 0) return "0";
  std::string digits = std::to_string(n < 0 ? -n : n);
  if (exponent >= 0) {
    digits.append(static_cast<std::size_t>(exponent), '0');
  } else {
    const std::size_t places = static_cast<std::size_t>(-exponent);
    if (digits.size() <= places) digits.insert(0, places - digits.size() + 1, '0');
    digits.insert(digits.end() - static_cast<std::ptrdiff_t>(places), '.');
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
  }
  if (n < 0) digits.insert(digits.begin(), '-');
  return digits;
}

Ticks round_ticks(double span, int count) {
  Ticks t;
  if (!(span > 0) || !std::isfinite(span)) return t;
  const double raw = span / count;
  double p = 1;
  int e = 0;
  while (p > raw && e > -300) {
    p /= 10;  // rounded once per step; only the choice of step depends on it
    --e;
  }
  while (p * 10 <= raw && e < 300) {
    p *= 10;
    ++e;
  }
  const double m = raw / p;
  t.exponent = e;
  t.mantissa = m < 1.5 ? 1 : m < 3.5 ? 2 : m < 7.5 ? 5 : 10;
  if (t.mantissa == 10) {
    t.mantissa = 1;
    ++t.exponent;
  }
  return t;
}

PathSimplifier::PathSimplifier(std::vector<Vec>* out, std::size_t cap, double relative_tolerance)
    : out_(out), cap_(std::max<std::size_t>(cap, 8)), relative_(relative_tolerance) {}

void PathSimplifier::step(Run* r, Vec p, double tol, std::vector<Vec>* out) {
  for (;;) {
    if (!r->anchored) {
      out->push_back(p);
      *r = Run{true, false, false, p, {}, p};
      return;
    }
    const double dx = p.x - r->anchor.x, dy = p.y - r->anchor.y;
    if (!r->directed) {
      r->last = p;
      r->pending = true;
      // Well inside the tolerance on both axes is well inside it in distance
      // (0.7 * sqrt 2 < 1), so most points skip the costly hypot.
      if (std::abs(dx) <= 0.7 * tol && std::abs(dy) <= 0.7 * tol) return;
      const double d = std::hypot(dx, dy);
      if (d > tol) {
        r->dir = Vec{dx / d, dy / d};
        r->directed = true;
      }
      return;
    }
    const double perp = std::abs(r->dir.x * dy - r->dir.y * dx);
    const double along = r->dir.x * dx + r->dir.y * dy;
    const double along_last = r->dir.x * (r->last.x - r->anchor.x) + r->dir.y * (r->last.y - r->anchor.y);
    if (perp <= tol && along >= along_last - tol) {
      r->last = p;
      return;
    }
    // The last point kept within the band becomes the new anchor.
    out->push_back(r->last);
    *r = Run{true, false, false, r->last, {}, r->last};
  }
}

void PathSimplifier::close(Run* r, std::vector<Vec>* out) {
  if (r->anchored && r->pending) out->push_back(r->last);
  *r = Run{};
}

void PathSimplifier::add(Vec p, const Extents& seen) {
  tol_ = std::max(floor_, relative_ * seen.span());
  step(&run_, p, tol_, out_);
  if (out_->size() > cap_) coarsen();
}

void PathSimplifier::gap() {
  close(&run_, out_);
  if (!out_->empty() && !std::isnan(out_->back().x)) {
    out_->push_back(Vec{std::numeric_limits<double>::quiet_NaN(), 0});
  }
}

void PathSimplifier::finish() { close(&run_, out_); }

// Simplifies what is kept with twice the tolerance until half the room is free.
void PathSimplifier::coarsen() {
  double tol = 0;
  for (std::size_t i = 1; i < out_->size(); ++i) {
    const Vec a = (*out_)[i - 1], b = (*out_)[i];
    if (!std::isnan(a.x) && !std::isnan(b.x)) tol = std::max(tol, std::hypot(b.x - a.x, b.y - a.y));
  }
  floor_ = std::max({floor_ * 2, tol_ * 2, tol / 64, std::numeric_limits<double>::min()});
  while (out_->size() > cap_ / 2) {
    spare_.clear();
    Run r;
    for (const Vec& v : *out_) {
      if (std::isnan(v.x)) {
        close(&r, &spare_);
        spare_.push_back(v);
      } else {
        step(&r, v, floor_, &spare_);
      }
    }
    close(&r, &spare_);
    out_->swap(spare_);
    if (out_->size() > cap_ / 2) floor_ = std::max(floor_ * 2, tol / 64);
  }
  // The run goes on from the last vertex kept.
  if (run_.anchored && !out_->empty() && !std::isnan(out_->back().x)) {
    run_.anchor = out_->back();
  }
}

}  // namespace radomeview
