#include "radomeview/report.h"

#include "radomeview/numtext.h"
#include "radomeview/tor.h"
#include "radomeview/torcheck.h"

namespace radomeview {
namespace {

std::string plural(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Six significant digits: enough to see where the data lies.
std::string range(const Extents& e, const char* x, const char* y, const std::string& unit) {
  if (!e.any) return "nothing to draw";
  return std::string(x) + " " + six_digits(e.x0) + " to " + six_digits(e.x1) + ", " + y + " " + six_digits(e.y0) +
         " to " + six_digits(e.y1) + (unit.empty() ? "" : " " + unit);
}

// Points and .rsf files.

void read_points(ByteSource& s, FileReport* r) { read_curve(s, r->kind, &r->content.emplace<Curve>(), &r->findings); }

std::string curve_summary(const FileReport& r) {
  const Curve& c = *r.curve();
  const bool rsf = r.kind == Kind::rsf;
  return r.file + ": " + kind_name(r.kind) + ": count " + (c.count_read ? std::to_string(c.count) : "unknown") + ", " +
         plural(c.records, "point", "points") + "; " + range(c.extents, rsf ? "r" : "x", rsf ? "z" : "y", "");
}

void curve_axes(const FileReport& r, const std::string& unit, std::string* x, std::string* y) {
  const std::string u = unit.empty() ? "" : " (" + unit + ")";
  *x = (r.kind == Kind::rsf ? "r" : "x") + u;
  *y = (r.kind == Kind::rsf ? "z" : "y") + u;
}

std::string curve_title(const FileReport& r) { return r.curve()->label.empty() ? r.file : r.curve()->label; }

std::string no_unit(const FileReport&) { return ""; }

Extents curve_extents_of(const FileReport& r, const Place& p) { return curve_extents(*r.curve(), p); }

void curve_draw(const FileReport& r, const Frame& f, const Place& p, const Style& s, std::string& o) {
  draw_curve(*r.curve(), f, p, s, o);
}

void curve_legend(const FileReport&, std::vector<LegendRow>*) {}

// TOR files.

void read_tor(ByteSource& s, FileReport* r) {
  TorText text;
  parse_tor(s, &text, &r->findings);
  check_tor(text, &r->content.emplace<Tor>(), &r->findings);
}

std::string tor_summary(const FileReport& r) {
  const Tor& t = *r.tor();
  std::size_t layers = 0, nodes = 0, segments = 0;
  for (const Mesh& m : t.meshes) {
    layers += m.regions.size();
    nodes += m.nodes.size();
    segments += m.segments.size();
  }
  return r.file + ": tor: " + plural(t.variables.size(), "variable", "variables") + ", " +
         plural(t.meshes.size(), "bor_mesh", "bor_mesh objects") + ", " + plural(layers, "layer", "layers") + ", " +
         plural(nodes, "node", "nodes") + ", " + plural(segments, "segment", "segments") + "; " +
         range(t.extents, "Z", "R", t.unit);
}

void tor_axes(const FileReport& r, const std::string&, std::string* x, std::string* y) {
  const std::string& unit = r.tor()->unit;
  const std::string u = unit.empty() ? "" : " (" + unit + ")";
  *x = "Z" + u;
  *y = "R" + u;
}

std::string tor_title(const FileReport& r) { return r.file; }

std::string tor_unit(const FileReport& r) { return r.tor()->unit; }

Extents tor_extents_of(const FileReport& r, const Place& p) { return tor_extents(*r.tor(), p); }

void tor_draw(const FileReport& r, const Frame& f, const Place& p, const Style& s, std::string& o) {
  draw_tor(*r.tor(), f, p, s, o);
}

void tor_legend_of(const FileReport& r, std::vector<LegendRow>* rows) { tor_legend(*r.tor(), rows); }

// In the order detection tries them: a .rsf file's label may hold "(".
const KindEntry kKinds[] = {
    {Kind::rsf, looks_like_rsf, read_points, curve_summary, curve_axes, curve_title, no_unit, curve_extents_of,
     curve_draw, curve_legend},
    {Kind::tor, looks_like_tor, read_tor, tor_summary, tor_axes, tor_title, tor_unit, tor_extents_of, tor_draw,
     tor_legend_of},
    {Kind::points, looks_like_points, read_points, curve_summary, curve_axes, curve_title, no_unit, curve_extents_of,
     curve_draw, curve_legend},
};

std::string tail(const Findings& f) {
  std::string s = "; " + plural(f.errors(), "error", "errors") + ", " + plural(f.warnings(), "warning", "warnings");
  if (f.dropped() > 0) s += " (" + std::to_string(f.dropped()) + " not listed)";
  return s;
}

}  // namespace

const KindEntry& kind_entry(Kind k) {
  for (const KindEntry& e : kKinds) {
    if (e.kind == k) return e;
  }
  return kKinds[0];
}

bool check_file(ByteSource& source, const std::string& name, std::optional<Kind> kind, FileReport* r) {
  r->file = name;
  if (!kind) {
    const Head head = read_head(source);
    for (const KindEntry& e : kKinds) {
      if (e.detect(head)) {
        kind = e.kind;
        break;
      }
    }
  }
  if (!kind) return false;
  r->kind = *kind;
  const KindEntry& e = kind_entry(*kind);
  e.read(source, r);
  r->findings.sort();
  r->summary = e.summary(*r) + tail(r->findings);
  return true;
}

void draw(const FileReport& r, const DrawOptions& o, std::string* svg) {
  const KindEntry& e = kind_entry(r.kind);
  const Place place;
  std::vector<LegendRow> legend;
  e.legend(r, &legend);
  const Frame f(e.extents(r, place), legend);
  const std::string title = e.title(r);
  f.head(*svg, title, title == r.file ? "" : r.file, r.tor() ? tor_css(*r.tor()) : "");
  std::string x, y;
  e.axes(r, o.unit, &x, &y);
  f.axes(*svg, x, y);
  Style style;
  style.labels = o.labels;
  style.spill = o.spill;
  e.draw(r, f, place, style, *svg);
  f.findings(*svg, r.findings, place);
  f.legend(*svg, legend);
  f.tail(*svg);
}

}  // namespace radomeview
