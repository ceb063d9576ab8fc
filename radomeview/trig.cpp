#include "radomeview/trig.h"

#include "crmath/crmath.h"

namespace radomeview {

// Correctly rounded sine and cosine; the tangent is their quotient, so it
// too is the same bits everywhere.
double portable_sin(double x) { return crmath::sin(x); }
double portable_cos(double x) { return crmath::cos(x); }
double portable_tan(double x) { return crmath::tan(x); }

}  // namespace radomeview
