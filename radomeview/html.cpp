#include "radomeview/html.h"

#include "radomeview/numtext.h"
#include "radomeview/svg.h"

namespace radomeview {

void write_html(const std::vector<PageSection>& sections, std::string* out) {
  std::string& o = *out;
  o += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>radomeview";
  for (const PageSection& s : sections) {
    o += " ";
    append_escaped(o, s.file);
  }
  o += "</title>\n<style>\n"
       "body{font-family:sans-serif;margin:16px;color:#222}\n"
       "pre.findings{background:#f6f6f6;padding:8px}\n"
       ".error{color:#b00}\n"
       "table.variables{border-collapse:collapse}\n"
       "table.variables td,table.variables th{border:1px solid #ccc;padding:2px 8px;text-align:left}\n"
       "td.value{font-family:monospace;text-align:right}\n"
       "</style>\n</head>\n<body>\n";
  for (const PageSection& s : sections) {
    o += "<section class=\"file\">\n<h1>";
    append_escaped(o, s.file);
    o += "</h1>\n";
    if (!s.svg.empty()) {
      // The picture inline, without its XML declaration.
      const std::size_t start = s.svg.rfind("?>\n", 64);
      o += "<div class=\"picture\">\n";
      o += start == std::string::npos ? s.svg : s.svg.substr(start + 3);
      o += "</div>\n";
    }
    o += "<h2>Findings</h2>\n<pre class=\"findings\">";
    if (s.findings.empty()) o += "none\n";
    for (const std::string& line : s.findings) {
      const bool error = line.find(": error: ") != std::string::npos;
      o += error ? "<span class=\"error\">" : "<span>";
      append_escaped(o, line);
      o += "</span>\n";
    }
    o += "</pre>\n<p class=\"summary\">";
    append_escaped(o, s.summary);
    o += "</p>\n";
    if (s.variables) {
      o += "<h2>Variables</h2>\n<table class=\"variables\">\n<tr><th>name</th><th>as written</th><th>value</th></tr>\n";
      for (const Variable& v : *s.variables) {
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
    o += "</section>\n";
  }
  o += "</body>\n</html>\n";
}

}  // namespace radomeview
