// The picture of a file as SVG: one scale on both axes, ticks at round
// numbers, the data, and a mark where a finding has a place.
#pragma once

#include <string>
#include <string_view>

#include "radomeview/curve.h"
#include "radomeview/findings.h"
#include "radomeview/torcheck.h"

namespace radomeview {

struct PictureOptions {
  std::string title;     // the label or object name, may be empty
  std::string file;      // the file's name, shown under the title
  bool labels = false;   // node numbers
};

void write_curve_svg(const Curve& curve, const Findings& findings, const PictureOptions& o, std::string* out);
void write_tor_svg(const Tor& tor, const Findings& findings, const PictureOptions& o, std::string* out);

// Text of a file made safe for XML: markup characters escaped, anything but
// printable ASCII written as '?'.
void append_escaped(std::string& out, std::string_view text);

}  // namespace radomeview
