// Cosine, sine, tangent and the real power function, correctly rounded to
// nearest for every argument, computed with IEEE double + - * / and 32/64-bit
// integers only: the same bits on every platform and compiler.
#pragma once

namespace crmath {

// The double nearest to cos x, sin x. A NaN or an infinity gives NaN.
double cos(double x);
double sin(double x);

// sin x / cos x of the two correctly rounded values (not itself correctly
// rounded, but the same bits everywhere).
double tan(double x);

// x to the power y, correctly rounded, with the special values of the usual
// C pow: x^0 = 1 and 1^y = 1 even for NaN; 0 to a positive power is 0 (-0 to
// an odd integer power -0), 0 to a negative power infinite (signed as for
// positive powers); a negative base with a finite non-integer exponent NaN;
// (-1)^±inf = 1; |x| < 1 to +inf is 0 and to -inf infinite, |x| > 1 the
// other way round; an overflowing result is infinite, an underflowing one 0.
double pow(double x, double y);

}  // namespace crmath
