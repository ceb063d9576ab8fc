#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "radomeview/drawing.h"
#include "radomeview/numtext.h"

namespace radomeview {
namespace {

const char* const kLayerColours[] = {"#8dd3c7", "#fdb462", "#bebada", "#fb8072",
                                     "#80b1d3", "#b3de69", "#fccde5", "#ffffb3"};
const char* const kMeshColours[] = {"#333333", "#1f5fa8", "#c0392b", "#2e7d32",
                                    "#7b3fa0", "#a0522d", "#00838f", "#5d4037"};

const char* mesh_colour(std::size_t i) { return kMeshColours[i % std::size(kMeshColours)]; }

void point(std::string& o, const Frame& f, Vec v) {
  append_fixed2(o, f.x(v.x));
  o += ' ';
  append_fixed2(o, f.y(v.y));
}

// Bezier control points of the cubic through p0..p3 at t = 0, 1/3, 2/3, 1.
void cubic(std::string& o, const Frame& f, const Vec p[4]) {
  const Vec c1{(-5 * p[0].x + 18 * p[1].x - 9 * p[2].x + 2 * p[3].x) / 6,
               (-5 * p[0].y + 18 * p[1].y - 9 * p[2].y + 2 * p[3].y) / 6};
  const Vec c2{(2 * p[0].x - 9 * p[1].x + 18 * p[2].x - 5 * p[3].x) / 6,
               (2 * p[0].y - 9 * p[1].y + 18 * p[2].y - 5 * p[3].y) / 6};
  o += " d=\"M";
  point(o, f, p[0]);
  o += " C";
  point(o, f, c1);
  o += ' ';
  point(o, f, c2);
  o += ' ';
  point(o, f, p[3]);
  o += '"';
}

// The linear segments of a mesh, each a <line> with its number: made up in
// one of two buffers in turn, as a mesh may have a hundred thousand of them,
// and a segment that starts where the one before ended takes that end's
// numbers from the other buffer.
class LineWriter {
 public:
  void write(std::string& o, bool metal, long long number, int from, Vec a, int to, Vec b) {
    const auto put = [](char* p, std::string_view s) {
      return static_cast<char*>(std::memcpy(p, s.data(), s.size())) + s.size();
    };
    char* const line = lines_[which_];
    char* p = put(line, metal ? "<line class=\"segment metal\" data-segment=\"" : "<line class=\"segment\" data-segment=\"");
    p = std::to_chars(p, p + 24, number).ptr;
    p = put(p, "\" x1=\"");
    if (from == last_ && from >= 0) {
      // Slots of kFixed2Most bytes, copied whole, the numbers' lengths kept.
      std::memcpy(p, end_x_, kFixed2Most);
      p += end_nx_;
      p = put(p, "\" y1=\"");
      std::memcpy(p, end_y_, kFixed2Most);
      p += end_ny_;
    } else {
      p = put_fixed2(p, a.x);
      p = put(p, "\" y1=\"");
      p = put_fixed2(p, a.y);
    }
    p = put(p, "\" x2=\"");
    end_x_ = p;
    p = put_fixed2(p, b.x);
    end_nx_ = static_cast<std::size_t>(p - end_x_);
    p = put(p, "\" y2=\"");
    end_y_ = p;
    p = put_fixed2(p, b.y);
    end_ny_ = static_cast<std::size_t>(p - end_y_);
    p = put(p, "\"/>\n");
    o.append(line, p);
    last_ = to;
    which_ ^= 1;
  }

 private:
  // A line is at most about 150 bytes; a number's slot ends well inside.
  char lines_[2][256] = {};
  int which_ = 0;
  const char* end_x_ = nullptr;
  const char* end_y_ = nullptr;
  std::size_t end_nx_ = 0, end_ny_ = 0;
  int last_ = -1;  // the node the last segment ended at
};

// Node numbers set off their lines: away from the segments that meet at
// the node, or across the line where a node sits in the middle of one.
void labels(std::string& o, const Frame& f, const Mesh& m, const Place& place, const Style& style) {
  std::vector<Vec> away(m.nodes.size()), along(m.nodes.size());
  const auto screen = [&](int i) {
    const Vec v = place(m.drawn(m.nodes[static_cast<std::size_t>(i)]));
    return Vec{f.x(v.x), f.y(v.y)};
  };
  for (const Segment& s : m.segments) {
    if (!s.drawn) continue;
    for (int k = 0; k + 1 < s.count(); ++k) {
      const int a = s.at[k], b = s.at[k + 1];
      const Vec pa = screen(a), pb = screen(b);
      const double d = std::hypot(pb.x - pa.x, pb.y - pa.y);
      if (!(d > 0)) continue;
      const Vec u{(pb.x - pa.x) / d, (pb.y - pa.y) / d};
      away[static_cast<std::size_t>(a)].x += u.x;
      away[static_cast<std::size_t>(a)].y += u.y;
      away[static_cast<std::size_t>(b)].x -= u.x;
      away[static_cast<std::size_t>(b)].y -= u.y;
      along[static_cast<std::size_t>(a)] = u;
      along[static_cast<std::size_t>(b)] = u;
    }
  }
  for (std::size_t i = 0; i < m.nodes.size(); ++i) {
    const Node& n = m.nodes[i];
    if (!n.placed) continue;
    const Vec at = screen(static_cast<int>(i));
    Vec d{-away[i].x, -away[i].y};
    double len = std::hypot(d.x, d.y);
    if (len < 0.3) {
      d = Vec{-along[i].y, along[i].x};  // across the line
      len = std::hypot(d.x, d.y);
    }
    if (!(len > 0)) d = Vec{0.7071, -0.7071}, len = 1;
    o += "<text class=\"node-label\"";
    attr(o, "x", at.x + 11 * d.x / len);
    attr(o, "y", at.y + 11 * d.y / len + 3.5);
    o += " text-anchor=\"middle\">" + std::to_string(n.number) + "</text>\n";
    spill_if_large(o, style);
  }
}

}  // namespace

Extents tor_extents(const Tor& t, const Place& place) {
  Extents e;
  if (t.extents.any) {
    e.add(place(Vec{t.extents.x0, t.extents.y0}));
    e.add(place(Vec{t.extents.x1, t.extents.y1}));
  }
  return e;
}

void draw_tor(const Tor& t, const Frame& f, const Place& place, const Style& style, std::string& o) {
  if (!style.spill) {
    std::size_t elements = 0;
    for (const Mesh& m : t.meshes) elements += m.segments.size() + (style.labels ? m.nodes.size() : 0);
    o.reserve(o.size() + 4096 + 112 * elements);  // about what each element takes: no copy on the way
  }
  for (std::size_t mi = 0; mi < t.meshes.size(); ++mi) {
    const Mesh& m = t.meshes[mi];
    o += "<g class=\"mesh mesh" + std::to_string(mi % std::size(kMeshColours)) + "\" data-object=\"";
    append_escaped(o, m.name);
    o += '"';
    if (!m.coor_sys.empty()) {
      o += " data-coor-sys=\"";
      append_escaped(o, m.coor_sys);
      o += '"';
    }
    o += ">\n";
    if (!style.assembly) {
      for (std::size_t i = 0; i < m.regions.size(); ++i) {
        const Region& r = m.regions[i];
        if (r.outline.empty()) continue;
        o += "<polygon class=\"layer\" data-region=\"" + std::to_string(r.number) + "\" fill=\"" +
             kLayerColours[i % std::size(kLayerColours)] + "\" points=\"";
        for (std::size_t k = 0; k < r.outline.size(); ++k) {
          if (k > 0) o += ' ';
          const Vec v = place(r.outline[k]);
          append_fixed2(o, f.x(v.x));
          o += ',';
          append_fixed2(o, f.y(v.y));
          spill_if_large(o, style);  // the outline of a large mesh is megabytes
        }
        o += "\"/>\n";
      }
    }
    LineWriter lines;
    for (std::size_t i = 0; i < m.segments.size(); ++i) {
      const Segment& s = m.segments[i];
      if (!s.drawn) continue;
      Vec p[4];
      for (int k = 0; k < s.count(); ++k) p[k] = place(m.drawn(m.nodes[static_cast<std::size_t>(s.at[k])]));
      const bool metal = m.metal && i == 0;
      if (s.order == 1) {
        lines.write(o, metal, s.number, s.at[0], Vec{f.x(p[0].x), f.y(p[0].y)}, s.at[1], Vec{f.x(p[1].x), f.y(p[1].y)});
      } else {
        o += "<path class=\"segment cubic\" fill=\"none\" data-segment=\"";
        char digits[24];
        o.append(digits, std::to_chars(digits, digits + sizeof digits, s.number).ptr);
        o += '"';
        cubic(o, f, p);
        o += "/>\n";
      }
      spill_if_large(o, style);
    }
    o += "</g>\n";
  }
  if (style.labels) {
    o += "<g class=\"node-labels\">\n";
    for (const Mesh& m : t.meshes) labels(o, f, m, place, style);
    o += "</g>\n";
  }
}

std::string tor_css(const Tor& t) {
  std::string css;
  bool metal = false;
  for (std::size_t i = 1; i < std::min(t.meshes.size(), std::size(kMeshColours)); ++i) {
    css += ".mesh" + std::to_string(i) + " .segment{stroke:" + kMeshColours[i] + "}";
  }
  for (const Mesh& m : t.meshes) metal = metal || m.metal;
  if (metal && t.meshes.size() > 1) css += ".mesh .segment.metal{stroke:#000}";
  return css;
}

void tor_legend(const Tor& t, std::vector<LegendRow>* rows) {
  bool metal = false;
  for (std::size_t mi = 0; mi < t.meshes.size(); ++mi) {
    const Mesh& m = t.meshes[mi];
    std::size_t cubic = 0;
    for (const Segment& s : m.segments) cubic += s.order == 3;
    std::string text = (m.name.empty() ? std::string("(no name)") : escaped(m.name)) + ": " +
                       std::to_string(m.nodes.size()) + " nodes, " + std::to_string(m.segments.size()) + " segments";
    if (cubic > 0) text += " (" + std::to_string(cubic) + " cubic)";
    if (!m.coor_sys.empty()) text += ", coor_sys " + escaped(m.coor_sys);
    if (!m.unit.empty() && m.unit != t.unit) text += ", in " + escaped(m.unit);
    rows->push_back(LegendRow{LegendRow::Swatch::line, mesh_colour(mi), text});
    metal = metal || m.metal;
  }
  if (metal) rows->push_back(LegendRow{LegendRow::Swatch::thick, "#000", "metal line (segment 1)"});
  for (const Mesh& m : t.meshes) {
    for (std::size_t i = 0; i < m.regions.size(); ++i) {
      const Region& r = m.regions[i];
      std::string text;
      if (r.material) {
        text = (m.ours ? "layer " : "region ") + std::to_string(r.number) + ": \xce\xb5 " + shortest(r.permittivity) +
               ", \xce\xbc " + shortest(r.permeability) + ", tan \xce\xb4 " + shortest(r.loss_tangent);
      } else {
        text = "region " + std::to_string(r.number) + (r.refers.empty() ? "" : ": " + escaped(r.refers));
      }
      rows->push_back(LegendRow{LegendRow::Swatch::fill, kLayerColours[i % std::size(kLayerColours)], text});
    }
  }
}

}  // namespace radomeview
