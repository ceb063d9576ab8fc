#include <cmath>

#include "radomeview/drawing.h"
#include "radomeview/numtext.h"

namespace radomeview {

Extents curve_extents(const Curve& c, const Place& place) {
  Extents e;
  if (c.extents.any) {
    e.add(place(Vec{c.extents.x0, c.extents.y0}));
    e.add(place(Vec{c.extents.x1, c.extents.y1}));
  }
  return e;
}

void draw_curve(const Curve& c, const Frame& f, const Place& place, const Style&, std::string& o) {
  // The polyline, consecutive vertices that round to the same place once.
  o += "<path class=\"curve\" d=\"";
  const std::size_t start = o.size();
  std::string last, here;
  bool move = true;
  for (const Vec& v : c.path) {
    if (std::isnan(v.x)) {
      move = true;
      continue;
    }
    const Vec p = place(v);
    here.clear();
    append_fixed2(here, f.x(p.x));
    here += ' ';
    append_fixed2(here, f.y(p.y));
    if (!move && here == last) continue;
    if (o.size() > start) o += ' ';
    if (move) o += 'M';
    o += here;
    last.swap(here);
    move = false;
  }
  o += "\"/>\n<g class=\"markers\">\n";
  for (std::size_t i = 0; i < c.points.size(); ++i) {
    const Vec p = place(c.points[i]);
    o += "<circle class=\"marker\" data-index=\"" + std::to_string(i + 1) + "\"";
    attr(o, "cx", f.x(p.x));
    attr(o, "cy", f.y(p.y));
    o += " r=\"2.5\"/>\n";
  }
  o += "</g>\n";
}

}  // namespace radomeview
