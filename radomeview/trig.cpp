#include "radomeview/trig.h"

#include <cmath>

namespace radomeview {
namespace {

// pi/2 in three parts: the first two have 33 significant bits, so k times
// either is exact for the k allowed below; the third is the rest.
constexpr double kTwoOverPi = 0.6366197723675814;
constexpr double kHalfPiHigh = 1.5707963267341256;
constexpr double kHalfPiMiddle = 6.077100506303966e-11;
constexpr double kHalfPiLow = 2.0222662487959506e-21;
constexpr double kReducible = 1e5;  // k stays below 2^17

// x = k pi/2 + r with |r| <= pi/4, where every platform's sine and cosine are
// accurate; false for arguments too large (or not finite) to reduce so, which
// are left to the platform.
bool reduce(double x, double* r, int* quadrant) {
  if (!(std::fabs(x) < kReducible)) return false;
  const double k = std::nearbyint(x * kTwoOverPi);
  *r = ((x - k * kHalfPiHigh) - k * kHalfPiMiddle) - k * kHalfPiLow;
  *quadrant = static_cast<int>(static_cast<long long>(k) & 3);
  return true;
}

}  // namespace

double portable_sin(double x) {
  double r = 0;
  int q = 0;
  if (!reduce(x, &r, &q)) return std::sin(x);
  switch (q) {
    case 0: return std::sin(r);
    case 1: return std::cos(r);
    case 2: return -std::sin(r);
    default: return -std::cos(r);
  }
}

double portable_cos(double x) {
  double r = 0;
  int q = 0;
  if (!reduce(x, &r, &q)) return std::cos(x);
  switch (q) {
    case 0: return std::cos(r);
    case 1: return -std::sin(r);
    case 2: return -std::cos(r);
    default: return std::sin(r);
  }
}

double portable_tan(double x) {
  double r = 0;
  int q = 0;
  if (!reduce(x, &r, &q)) return std::tan(x);
  return q % 2 == 0 ? std::tan(r) : -1 / std::tan(r);
}

}  // namespace radomeview
