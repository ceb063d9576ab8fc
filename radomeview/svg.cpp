#include "radomeview/svg.h"

#include <algorithm>
#include <cmath>

#include "radomeview/geometry.h"
#include "radomeview/numtext.h"

namespace radomeview {

void append_escaped(std::string& out, std::string_view text) {
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
  }
}

namespace {

constexpr double kPlot = 720;  // the longer side of the data, in pixels
constexpr double kPad = 16;    // around the data inside the axes
constexpr double kLeft = 90, kTop = 76, kBottom = 56, kRight = 24;
constexpr double kLegend = 260;

const char* const kColours[] = {"#8dd3c7", "#fdb462", "#bebada", "#fb8072", "#80b1d3", "#b3de69", "#fccde5", "#ffffb3"};

const char* kStyle =
    "<style>"
    ".frame{fill:#fff;stroke:#444;stroke-width:1}"
    ".grid{stroke:#e4e4e4;stroke-width:1}"
    ".tick{stroke:#444;stroke-width:1}"
    ".curve{fill:none;stroke:#1f5fa8;stroke-width:1.5;stroke-linejoin:round}"
    ".marker{fill:#1f5fa8}"
    ".segment{stroke:#333;stroke-width:1.2}"
    ".metal{stroke:#000;stroke-width:3}"
    ".layer{stroke:none;fill-opacity:0.85}"
    ".finding{fill:none;stroke-width:2}"
    ".finding.error{stroke:#d00}"
    ".finding.warning{stroke:#e90}"
    ".title{font-size:16px;font-weight:bold}"
    ".node-label{font-size:10px;fill:#333}"
    "</style>\n";

// ` NAME="V"`, V to two decimals: every length and place in the picture.
void attr(std::string& o, const char* name, double v) {
  o += ' ';
  o += name;
  o += "=\"";
  append_fixed2(o, v);
  o += '"';
}

// Data to drawing coordinates: y grows upwards in the data, downwards in SVG.
class Frame {
 public:
  Frame(Extents e, double extra_right) {
    if (!e.any) e = Extents{0, 1, 0, 1, true};
    if (!(e.x1 > e.x0) && !(e.y1 > e.y0)) {
      // A single place: a unit square about it.
      e = Extents{e.x0 - 0.5, e.x0 + 0.5, e.y0 - 0.5, e.y0 + 0.5, true};
    }
    double w = e.x1 - e.x0, h = e.y1 - e.y0;
    if (!(w > 0)) w = 0;
    if (!(h > 0)) h = 0;
    scale_ = kPlot / std::max(w, h);
    if (!std::isfinite(scale_) || !(scale_ > 0)) scale_ = 1;
    e_ = e;
    plot_w_ = w * scale_ + 2 * kPad;
    plot_h_ = h * scale_ + 2 * kPad;
    width_ = kLeft + plot_w_ + kRight + extra_right;
    height_ = kTop + plot_h_ + kBottom;
    ticks_ = round_ticks(std::max(w, h) > 0 ? std::max(w, h) : 1, 8);
  }

  double x(double v) const { return kLeft + kPad + (v - e_.x0) * scale_; }
  double y(double v) const { return kTop + kPad + (e_.y1 - v) * scale_; }
  double width() const { return width_; }
  double height() const { return height_; }
  double right() const { return kLeft + plot_w_; }

  void head(std::string& o, const PictureOptions& p) const {
    o += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"";
    attr(o, "width", width_);
    attr(o, "height", height_);
    o += " viewBox=\"0 0 ";
    append_fixed2(o, width_);
    o += " ";
    append_fixed2(o, height_);
    o += "\" font-family=\"sans-serif\" font-size=\"12\">\n<title>";
    append_escaped(o, p.title.empty() ? p.file : p.title);
    o += "</title>\n";
    o += kStyle;
    o += "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n<text class=\"title\"";
    attr(o, "x", kLeft);
    o += " y=\"24\">";
    append_escaped(o, p.title.empty() ? p.file : p.title);
    o += "</text>\n";
    if (!p.title.empty()) {
      o += "<text class=\"file\"";
      attr(o, "x", kLeft);
      o += " y=\"44\">";
      append_escaped(o, p.file);
      o += "</text>\n";
    }
  }

  // The frame, the grid and the ticks with their labels, and the axis names.
  void axes(std::string& o, const std::string& xname, const std::string& yname) const {
    const double top = kTop, bottom = kTop + plot_h_, left = kLeft, right = kLeft + plot_w_;
    o += "<rect class=\"frame\"";
    attr(o, "x", left);
    attr(o, "y", top);
    attr(o, "width", plot_w_);
    attr(o, "height", plot_h_);
    o += "/>\n<g class=\"axes\">\n";
    const double lo_x = e_.x0 - kPad / scale_, hi_x = e_.x0 + (plot_w_ - kPad) / scale_;
    const double lo_y = e_.y1 - (plot_h_ - kPad) / scale_, hi_y = e_.y1 + kPad / scale_;
    tick_run(o, 'x', lo_x, hi_x, [&](double v, const std::string& label) {
      const double px = x(v);
      line(o, "grid", px, top, px, bottom);
      o += "<line class=\"tick\" data-axis=\"x\" data-value=\"" + label + "\"";
      coords(o, px, bottom, px, bottom + 6);
      o += "/>\n<text";
      attr(o, "x", px);
      attr(o, "y", bottom + 20);
      o += " text-anchor=\"middle\">" + label + "</text>\n";
    });
    tick_run(o, 'y', lo_y, hi_y, [&](double v, const std::string& label) {
      const double py = y(v);
      line(o, "grid", left, py, right, py);
      o += "<line class=\"tick\" data-axis=\"y\" data-value=\"" + label + "\"";
      coords(o, left - 6, py, left, py);
      o += "/>\n<text";
      attr(o, "x", left - 9);
      attr(o, "y", py + 4);
      o += " text-anchor=\"end\">" + label + "</text>\n";
    });
    o += "<text class=\"axis-name\"";
    attr(o, "x", right);
    attr(o, "y", bottom + 40);
    o += " text-anchor=\"end\">";
    append_escaped(o, xname);
    o += "</text>\n<text class=\"axis-name\"";
    attr(o, "x", left);
    attr(o, "y", top - 6);
    o += " text-anchor=\"start\">";
    append_escaped(o, yname);
    o += "</text>\n</g>\n";
  }

  void findings(std::string& o, const Findings& f) const {
    o += "<g class=\"findings\">\n";
    for (const Finding& k : f.kept()) {
      if (!k.placed || !std::isfinite(k.x) || !std::isfinite(k.y)) continue;
      o += std::string("<circle class=\"finding ") + (k.severity == Severity::error ? "error" : "warning") + "\"";
      attr(o, "cx", x(k.x));
      attr(o, "cy", y(k.y));
      o += " r=\"7\"><title>" + std::to_string(k.line) + ": ";
      append_escaped(o, k.text);
      o += "</title></circle>\n";
    }
    o += "</g>\n";
  }

  static void coords(std::string& o, double x1, double y1, double x2, double y2) {
    attr(o, "x1", x1);
    attr(o, "y1", y1);
    attr(o, "x2", x2);
    attr(o, "y2", y2);
  }

  static void line(std::string& o, const char* cls, double x1, double y1, double x2, double y2) {
    o += std::string("<line class=\"") + cls + "\"";
    coords(o, x1, y1, x2, y2);
    o += "/>\n";
  }

 private:
  template <class F>
  void tick_run(std::string&, char, double lo, double hi, F each) const {
    const double step = ticks_.step();
    if (!(step > 0) || !std::isfinite(lo / step) || !std::isfinite(hi / step)) return;
    const double first = std::ceil(lo / step), last = std::floor(hi / step);
    // Tick numbers must stay whole numbers of a long long, labels included.
    if (!(last - first < 100) || !(std::abs(first) < 1e12) || !(std::abs(last) < 1e12)) return;
    for (double k = first; k <= last; k += 1) {
      const long long n = static_cast<long long>(k);
      each(ticks_.value(n), ticks_.label(n));
    }
  }

  Extents e_;
  double scale_ = 1, plot_w_ = 0, plot_h_ = 0, width_ = 0, height_ = 0;
  Ticks ticks_;
};

void point(std::string& o, const Frame& f, Vec v) {
  append_fixed2(o, f.x(v.x));
  o += " ";
  append_fixed2(o, f.y(v.y));
}

}  // namespace

void write_curve_svg(const Curve& c, const Findings& findings, const PictureOptions& p, std::string* out) {
  std::string& o = *out;
  const Frame f(c.extents, 0);
  f.head(o, p);
  f.axes(o, c.kind == Kind::rsf ? "r" : "x", c.kind == Kind::rsf ? "z" : "y");
  // The polyline, consecutive vertices that round to the same place once.
  o += "<path class=\"curve\" d=\"";
  std::string last;
  bool move = true;
  for (const Vec& v : c.path) {
    if (std::isnan(v.x)) {
      move = true;
      continue;
    }
    std::string here;
    point(here, f, v);
    if (!move && here == last) continue;
    if (!o.empty() && o.back() != '"') o += ' ';
    o += move ? "M" : "";
    o += here;
    last = here;
    move = false;
  }
  o += "\"/>\n<g class=\"markers\">\n";
  for (std::size_t i = 0; i < c.points.size(); ++i) {
    o += "<circle class=\"marker\" data-index=\"" + std::to_string(i + 1) + "\"";
    attr(o, "cx", f.x(c.points[i].x));
    attr(o, "cy", f.y(c.points[i].y));
    o += " r=\"2.5\"/>\n";
  }
  o += "</g>\n";
  f.findings(o, findings);
  o += "</svg>\n";
}

void write_tor_svg(const Tor& t, const Findings& findings, const PictureOptions& p, std::string* out) {
  std::string& o = *out;
  const Frame f(t.extents, kLegend);
  f.head(o, p);
  const std::string unit = t.meshes.empty() || t.meshes[0].unit.empty() ? "" : " (" + t.meshes[0].unit + ")";
  f.axes(o, "Z" + unit, "R" + unit);
  o += "<g class=\"layers\">\n";
  for (const Mesh& m : t.meshes) {
    for (std::size_t i = 0; i < m.regions.size(); ++i) {
      const Region& r = m.regions[i];
      if (r.outline.empty()) continue;
      o += "<polygon class=\"layer\" data-region=\"" + std::to_string(r.number) + "\" fill=\"" +
           kColours[i % std::size(kColours)] + "\" points=\"";
      for (std::size_t k = 0; k < r.outline.size(); ++k) {
        if (k > 0) o += ' ';
        append_fixed2(o, f.x(r.outline[k].x));
        o += ',';
        append_fixed2(o, f.y(r.outline[k].y));
      }
      o += "\"/>\n";
    }
  }
  o += "</g>\n<g class=\"segments\">\n";
  for (const Mesh& m : t.meshes) {
    for (std::size_t i = 0; i < m.segments.size(); ++i) {
      const Segment& s = m.segments[i];
      if (!s.from || !s.from->placed || !s.to->placed) continue;
      o += std::string("<line class=\"segment") + (i == 0 ? " metal" : "") + "\" data-segment=\"" +
           std::to_string(s.number) + "\"";
      Frame::coords(o, f.x(s.from->at.x), f.y(s.from->at.y), f.x(s.to->at.x), f.y(s.to->at.y));
      o += "/>\n";
    }
  }
  o += "</g>\n";
  if (p.labels) {
    o += "<g class=\"node-labels\">\n";
    for (const Mesh& m : t.meshes) {
      for (const Node& n : m.nodes) {
        if (!n.placed) continue;
        o += "<text class=\"node-label\"";
        attr(o, "x", f.x(n.at.x) + 4);
        attr(o, "y", f.y(n.at.y) - 4);
        o += '>';
        o += std::to_string(n.number);
        o += "</text>\n";
      }
    }
    o += "</g>\n";
  }
  f.findings(o, findings);
  // The legend: one row per layer, its colour and its material.
  o += "<g class=\"legend\">\n";
  double y = kTop + 14;
  const double x = f.right() + 24;
  for (const Mesh& m : t.meshes) {
    for (std::size_t i = 0; i < m.regions.size(); ++i) {
      const Region& r = m.regions[i];
      o += "<rect";
      attr(o, "x", x);
      attr(o, "y", y - 10);
      o += " width=\"14\" height=\"12\" fill=\"";
      o += kColours[i % std::size(kColours)];
      o += "\"/>\n<text";
      attr(o, "x", x + 20);
      attr(o, "y", y);
      o += ">layer " + std::to_string(r.number) + ": \xce\xb5 " + shortest(r.permittivity) + ", \xce\xbc " +
           shortest(r.permeability) + ", tan \xce\xb4 " + shortest(r.loss_tangent) + "</text>\n";
      y += 18;
    }
  }
  o += "</g>\n</svg>\n";
}

}  // namespace radomeview
