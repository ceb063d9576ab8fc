// What each kind of file draws inside the frame: a points or .rsf file its
// polyline and markers, a TOR file each bor_mesh in a group of its own.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "radomeview/curve.h"
#include "radomeview/mesh.h"
#include "radomeview/picture.h"

namespace radomeview {

struct Style {
  bool labels = false;    // node numbers
  bool assembly = false;  // one of several files: their group's class gives the colour, no layer is filled
  // Where given, a large picture is handed over in parts as it is drawn,
  // each part then dropped, rather than held whole.
  std::function<void(const std::string&)> spill;
};

// Hands `o` over to the style's spill once it holds this much.
constexpr std::size_t kSpillAt = 1 << 16;
inline void spill_if_large(std::string& o, const Style& style) {
  if (style.spill && o.size() >= kSpillAt) {
    style.spill(o);
    o.clear();
  }
}

Extents curve_extents(const Curve& c, const Place& place);
void draw_curve(const Curve& c, const Frame& f, const Place& place, const Style& style, std::string& o);

Extents tor_extents(const Tor& t, const Place& place);
void draw_tor(const Tor& t, const Frame& f, const Place& place, const Style& style, std::string& o);
// One row per mesh, the metal line, and one per layer or region.
void tor_legend(const Tor& t, std::vector<LegendRow>* rows);
// The style of each mesh's lines.
std::string tor_css(const Tor& t);

}  // namespace radomeview
