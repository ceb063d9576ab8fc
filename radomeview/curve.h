// The points file and the .rsf file: a count and then one record of two
// numbers per point. Read in one pass, checked as it goes, the drawing's
// polyline simplified on the way.
#pragma once

#include <string>
#include <vector>

#include "radomeview/findings.h"
#include "radomeview/geometry.h"
#include "radomeview/kind.h"
#include "radomeview/source.h"

namespace radomeview {

struct Curve {
  static constexpr std::size_t kMarkers = 2000;  // points drawn one by one up to this many
  static constexpr std::size_t kPathCap = 60000;  // vertices of the simplified polyline

  Kind kind = Kind::points;
  std::string label;           // the .rsf label, trailing blanks removed
  bool count_read = false;
  long long count = 0;          // what the count record says
  std::size_t count_line = 0;
  std::size_t records = 0;      // point records
  Extents extents;              // of the finite points
  std::vector<Vec> path;        // the polyline; a NaN vertex is a gap
  std::vector<Vec> points;      // every point, while there are at most kMarkers
};

void read_curve(ByteSource& source, Kind kind, Curve* curve, Findings* findings);

}  // namespace radomeview
