// The length units of TOR meshes and of --unit.
#pragma once

#include <string_view>

namespace radomeview {

// Metres in one `unit` (mm, cm, m, in, ft); 0 for any other word.
inline double metres_per(std::string_view unit) {
  if (unit == "mm") return 0.001;
  if (unit == "cm") return 0.01;
  if (unit == "m") return 1;
  if (unit == "in") return 0.0254;
  if (unit == "ft") return 0.3048;
  return 0;
}

// The factor from `from` to `to`; 1 when either is not a unit.
inline double unit_factor(std::string_view from, std::string_view to) {
  const double a = metres_per(from), b = metres_per(to);
  return a > 0 && b > 0 && a != b ? a / b : 1;
}

}  // namespace radomeview
