#include "radomeview/assembly.h"

#include <algorithm>

#include "radomeview/units.h"

namespace radomeview {
namespace {

const char* const kFileColours[] = {"#1f5fa8", "#c0392b", "#2e7d32", "#7b3fa0",
                                    "#e67e22", "#00838f", "#555555", "#a0522d"};

Place place_of(const FileReport& r, const std::string& drawing, const std::string& unit) {
  const std::string stated = kind_entry(r.kind).unit(r);
  Place p;
  p.factor = unit_factor(stated.empty() ? unit : stated, drawing);
  p.swap = r.kind == Kind::rsf;
  return p;
}

}  // namespace

std::string assembly_unit(const std::vector<const FileReport*>& files, const std::string& unit) {
  for (const FileReport* r : files) {
    const std::string stated = kind_entry(r->kind).unit(*r);
    if (!stated.empty()) return stated;
  }
  return unit;
}

void draw_assembly(const std::vector<const FileReport*>& files, const DrawOptions& o, const std::string& title,
                   std::string* svg) {
  const std::string drawing = assembly_unit(files, o.unit);
  Extents all;
  std::vector<LegendRow> legend;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const FileReport& r = *files[i];
    const Extents e = kind_entry(r.kind).extents(r, place_of(r, drawing, o.unit));
    if (e.any) {
      all.add(Vec{e.x0, e.y0});
      all.add(Vec{e.x1, e.y1});
    }
    std::string text = escaped(r.file);
    if (const Tor* t = r.tor()) {
      for (std::size_t k = 0; k < t->meshes.size(); ++k) text += (k == 0 ? ": " : ", ") + escaped(t->meshes[k].name);
    }
    const std::string stated = kind_entry(r.kind).unit(r);
    const std::string unit = stated.empty() ? o.unit : stated;
    if (!unit.empty() && unit != drawing) text += " (" + escaped(unit) + ")";
    legend.push_back(LegendRow{r.kind == Kind::tor ? LegendRow::Swatch::line : LegendRow::Swatch::dot,
                               kFileColours[i % std::size(kFileColours)], text});
  }
  std::string css;
  for (std::size_t i = 0; i < std::min(files.size(), std::size(kFileColours)); ++i) {
    const std::string c = kFileColours[i], k = ".file" + std::to_string(i);
    css += k + " .curve," + k + " .segment{stroke:" + c + "}" + k + " .marker{fill:" + c + "}";
  }
  const Frame f(all, legend);
  f.head(*svg, title, "", css);
  const std::string u = drawing.empty() ? "" : " (" + drawing + ")";
  f.axes(*svg, "Z" + u, "R" + u);
  for (std::size_t i = 0; i < files.size(); ++i) {
    const FileReport& r = *files[i];
    const Place p = place_of(r, drawing, o.unit);
    Style style;
    style.labels = o.labels;
    style.assembly = true;
    *svg += "<g class=\"file file" + std::to_string(i % std::size(kFileColours)) + "\" data-file=\"";
    append_escaped(*svg, r.file);
    *svg += "\">\n";
    kind_entry(r.kind).draw(r, f, p, style, *svg);
    f.findings(*svg, r.findings, p);
    *svg += "</g>\n";
  }
  f.legend(*svg, legend);
  f.tail(*svg);
}

}  // namespace radomeview
