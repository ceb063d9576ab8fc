// The math functions the programs call, with the domain check that ends the
// run: a cosine or sine of a NaN or an infinity is reported and fatal, a
// finite argument of any size is not. The power function never reports.
// The values come from crmath: correctly rounded, so the same bits on every
// platform, whatever its own library does with large angles.
#pragma once

#include <cmath>

#include "crmath/crmath.h"
#include "textio/failure.h"

namespace textio {

inline double checked_cos(double x) {
  if (!std::isfinite(x)) report_math_error("cos");
  return crmath::cos(x);
}

inline double checked_sin(double x) {
  if (!std::isfinite(x)) report_math_error("sin");
  return crmath::sin(x);
}

// x to the power y, silently: 0 to a positive power is 0, 0 to the power 0
// is 1, 0 to a negative power is infinite, a negative base with a
// non-integer exponent is NaN.
inline double real_pow(double x, double y) { return crmath::pow(x, y); }

}  // namespace textio
