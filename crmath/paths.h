// The two paths of each function, apart, for the tests and the benchmark:
// the fast path with its error bound, and the exact path alone.
#pragma once

namespace crmath::detail {

// hi + lo approximates the result within err (absolute); hi = RN(hi + lo).
struct Approx {
  double hi, lo, err;
};

// The fast path: false where it does not apply (the exact path or a special
// value answers there).
bool sin_fast(double x, Approx* out);
bool cos_fast(double x, Approx* out);
bool pow_fast(double x, double y, Approx* out);

// The exact path alone, for finite x with |x| >= 2^-26 (sine) or 2^-27 (cosine).
double sin_exact(double x);
double cos_exact(double x);
// For x > 0 finite, x != 1, y finite and not 0, |y log x| below 760.
double pow_exact(double x, double y);

}  // namespace crmath::detail
