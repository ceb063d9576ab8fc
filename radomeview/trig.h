// Sine, cosine and tangent that read the same on every platform for the
// angles a TOR file holds. cos 90° in double is about 6.1e-17, not 0, and a
// node divided by it lands absurdly far; how far must not depend on whose
// library computed it.
#pragma once

namespace radomeview {

double portable_sin(double x);
double portable_cos(double x);
double portable_tan(double x);

}  // namespace radomeview
