#include "radomeview/report.h"

#include <charconv>

#include "radomeview/numtext.h"
#include "radomeview/svg.h"
#include "radomeview/tor.h"

namespace radomeview {
namespace {

std::string plural(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Six significant digits: enough to see where the data lies.
std::string range(const Extents& e, const char* x, const char* y, const std::string& unit) {
  if (!e.any) return "nothing to draw";
  return std::string(x) + " " + six_digits(e.x0) + " to " + six_digits(e.x1) + ", " + y + " " + six_digits(e.y0) + " to " + six_digits(e.y1) +
         unit;
}

std::string tail(const Findings& f) {
  std::string s = "; " + plural(f.errors(), "error", "errors") + ", " + plural(f.warnings(), "warning", "warnings");
  if (f.dropped() > 0) s += " (" + std::to_string(f.dropped()) + " not listed)";
  return s;
}

}  // namespace

bool check_file(std::FILE* file, const std::string& name, std::optional<Kind> kind, FileReport* r) {
  r->file = name;
  if (!kind) kind = detect_kind(file);
  if (!kind) return false;
  r->kind = *kind;
  if (*kind == Kind::tor) {
    TorText text;
    parse_tor(file, &text, &r->findings);
    check_tor(text, &r->tor, &r->findings);
    std::size_t layers = 0, nodes = 0, segments = 0;
    for (const Mesh& m : r->tor.meshes) {
      layers += m.regions.size();
      nodes += m.nodes.size();
      segments += m.segments.size();
    }
    const std::string unit = r->tor.meshes.empty() || r->tor.meshes[0].unit.empty() ? "" : " " + r->tor.meshes[0].unit;
    r->summary = name + ": tor: " + plural(r->tor.variables.size(), "variable", "variables") + ", " +
                 plural(r->tor.meshes.size(), "bor_mesh", "bor_mesh objects") + ", " +
                 plural(layers, "layer", "layers") + ", " + plural(nodes, "node", "nodes") + ", " +
                 plural(segments, "segment", "segments") + "; " + range(r->tor.extents, "Z", "R", unit);
  } else {
    read_curve(file, *kind, &r->curve, &r->findings);
    const Curve& c = r->curve;
    r->summary = name + ": " + kind_name(*kind) + ": count " + (c.count_read ? std::to_string(c.count) : "unknown") +
                 ", " + plural(c.records, "point", "points") + "; " +
                 range(c.extents, *kind == Kind::rsf ? "r" : "x", *kind == Kind::rsf ? "z" : "y", "");
  }
  r->findings.sort();
  r->summary += tail(r->findings);
  return true;
}

void draw(const FileReport& r, bool labels, std::string* svg) {
  PictureOptions p;
  p.file = r.file;
  p.labels = labels;
  if (r.kind == Kind::tor) {
    if (!r.tor.meshes.empty()) p.title = r.tor.meshes[0].name;
    write_tor_svg(r.tor, r.findings, p, svg);
  } else {
    p.title = r.curve.label;
    write_curve_svg(r.curve, r.findings, p, svg);
  }
}

}  // namespace radomeview
