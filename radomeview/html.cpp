#include "radomeview/html.h"

#include "radomeview/numtext.h"
#include "radomeview/picture.h"

namespace radomeview {
namespace {

void findings(std::string& o, const FileReport& r) {
  o += "<h2>Findings</h2>\n<pre class=\"findings\">";
  if (r.findings.kept().empty()) o += "none\n";
  for (const Finding& f : r.findings.kept()) {
    o += std::string("<span class=\"") + severity_name(f.severity) + "\">";
    append_escaped(o, finding_line(r.file, f));
    o += "</span>\n";
  }
  o += "</pre>\n<p class=\"summary\">";
  append_escaped(o, r.summary);
  o += "</p>\n";
}

void meshes(std::string& o, const Tor& t) {
  if (t.meshes.empty()) return;
  o += "<h2>Meshes</h2>\n<table class=\"meshes\">\n<tr><th>bor_mesh</th><th>coor_sys</th><th>length_unit</th>"
       "<th>nodes</th><th>segments</th><th>of them cubic</th></tr>\n";
  for (const Mesh& m : t.meshes) {
    std::size_t cubic = 0;
    for (const Segment& s : m.segments) cubic += s.order == 3;
    o += "<tr><td>";
    append_escaped(o, m.name);
    o += "</td><td>";
    append_escaped(o, m.coor_sys.empty() ? "none" : m.coor_sys);
    o += "</td><td>";
    append_escaped(o, m.unit.empty() ? "none" : m.unit);
    o += "</td><td class=\"value\">" + std::to_string(m.nodes.size()) + "</td><td class=\"value\">" +
         std::to_string(m.segments.size()) + "</td><td class=\"value\">" + std::to_string(cubic) + "</td></tr>\n";
  }
  o += "</table>\n";
  o += "<p class=\"note\">Each mesh is drawn in its own coordinates: the coordinate systems are not composed.</p>\n";
}

void variables(std::string& o, const Tor& t) {
  if (t.variables.empty()) return;
  o += "<h2>Variables</h2>\n<table class=\"variables\">\n<tr><th>name</th><th>as written</th><th>value</th></tr>\n";
  for (const Variable& v : t.variables) {
    o += "<tr><td>";
    append_escaped(o, v.name);
    o += "</td><td>";
    append_escaped(o, v.text);
    o += "</td><td class=\"value\">";
    o += v.known ? shortest(v.value) : "not known";
    o += "</td></tr>\n";
  }
  o += "</table>\n";
}

}  // namespace

void write_html(const std::vector<PageSection>& sections, std::string* out) {
  std::string& o = *out;
  o += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>radomeview";
  for (const PageSection& s : sections) {
    o += " ";
    append_escaped(o, s.heading);
  }
  o += "</title>\n<style>\n"
       "body{font-family:sans-serif;margin:16px;color:#222}\n"
       ".picture svg{display:block;max-width:100%;max-height:calc(100vh - 32px);width:auto;height:auto}\n"
       "pre.findings{background:#f6f6f6;padding:8px;white-space:pre-wrap}\n"
       ".error{color:#b00}\n.warning{color:#a60}\n.note{color:#357}\n"
       "table{border-collapse:collapse}\n"
       "td,th{border:1px solid #ccc;padding:2px 8px;text-align:left}\n"
       "td.value{font-family:monospace;text-align:right}\n"
       "</style>\n</head>\n<body>\n";
  for (const PageSection& s : sections) {
    o += "<section class=\"file\">\n<h1>";
    append_escaped(o, s.heading);
    o += "</h1>\n";
    if (!s.svg.empty()) {
      // The picture inline, without its XML declaration.
      const std::size_t start = s.svg.rfind("?>\n", 64);
      o += "<div class=\"picture\">\n";
      o += start == std::string::npos ? s.svg : s.svg.substr(start + 3);
      o += "</div>\n";
    }
    if (s.report) {
      findings(o, *s.report);
      if (const Tor* t = s.report->tor()) {
        meshes(o, *t);
        variables(o, *t);
      }
    }
    o += "</section>\n";
  }
  o += "</body>\n</html>\n";
}

}  // namespace radomeview
