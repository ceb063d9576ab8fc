// domeprofile: the points of one curved radome section, written as a
// two-column table: a circle, a parabola or an ellipse about a center (focus)
// on the X axis swept over polar angles, or a sinusoidal blend between an
// inner and an outer point swept over radius.
#include <bit>
#include <cstdint>

#include "cli/help.h"
#include "cli/prompt.h"
#include "domeprofile/dialogue.h"
#include "textio/mathlib.h"
#include "textio/textio.h"

namespace {

using cli::kPrompt;
using domeprofile::kAskAngles;
using domeprofile::kAskCenter;
using domeprofile::kAskCount;
using domeprofile::kAskCurve;
using domeprofile::kAskEllipse;
using domeprofile::kAskExponent;
using domeprofile::kAskFactor;
using domeprofile::kAskFile;
using domeprofile::kAskFocal;
using domeprofile::kAskInner;
using domeprofile::kAskOuter;
using domeprofile::kAskRadius;
using domeprofile::kBanner;
using textio::checked_cos;
using textio::checked_sin;
using textio::FileName;
using textio::kConsoleIn;
using textio::kConsoleOut;

constexpr auto kPoint = textio::format("(1P,E13.5,TR2,E13.5)");

constexpr int kOut = 40;

// The bit patterns are part of the results: the last bit of either constant
// shows in the points.
constexpr float kPi = 3.14159274f;
constexpr float kDegree = 0.017453292f;  // the float nearest to pi / 180
static_assert(std::bit_cast<std::uint32_t>(kPi) == 0x40490FDBu);
static_assert(std::bit_cast<std::uint32_t>(kDegree) == 0x3C8EFA35u);

// These start at zero, and the run relies on it: a curve number of 0 or less
// computes no point, so each point written is (x, y) = (0, 0); and a null
// answer (a lone comma) keeps a number as it was, so it is zero.
float pi, degree;
std::int32_t c;  // 1 circle, 2 parabola, 3 ellipse, 4 sinusoidal
FileName<40> file_name;
float xc;         // center, or focus, on the X axis
float rc;         // circle radius
float f;          // parabola focal length
float e, rmax;    // ellipse eccentricity and semi-major axis
float a1, a2;     // first and last polar angle, degrees
std::int32_t n;   // number of points
float da;         // angle step, degrees
float theta;      // polar angle of the point, radians
float t;          // cosine of the half angle
float rho_p;      // signed focal radius of the parabola
float rho_e;      // signed focal radius of the ellipse
float x, y;       // point of curves 1 to 3
float zi, ri;     // inner point: axial Z, radius R
float zo, ro;     // outer point
float span;       // radial span ro - ri
float dr;         // radial step
float a;          // sinusoidal share; 1 - a is linear
float p;          // exponent on the sine
float r, z;       // point of curve 4

}  // namespace

int main(int argc, char** argv) {
  cli::answer_help_or_version(argc, argv, domeprofile::kDialogue);
  textio::start_run(argc, argv);
  pi = kPi;
  degree = kDegree;

  textio::write_list(kConsoleOut, "pi", pi);
  textio::write_formatted<kPrompt<kAskCurve, kBanner>>(kConsoleOut);
  textio::read_list(kConsoleIn, c);

  // The file is open before any curve parameter is asked.
  textio::write_formatted<kPrompt<kAskFile>>(kConsoleOut);
  textio::read_text(kConsoleIn, file_name);
  textio::open_file(kOut, file_name, "UNKNOWN");

  if (c < 4) {
    textio::write_formatted<kPrompt<kAskCenter>>(kConsoleOut);
    textio::read_list(kConsoleIn, xc);
    if (c == 1) {
      textio::write_formatted<kPrompt<kAskRadius>>(kConsoleOut);
      textio::read_list(kConsoleIn, rc);
    } else if (c == 2) {
      textio::write_formatted<kPrompt<kAskFocal>>(kConsoleOut);
      textio::read_list(kConsoleIn, f);
    } else if (c == 3) {
      textio::write_formatted<kPrompt<kAskEllipse>>(kConsoleOut);
      textio::read_list(kConsoleIn, e, rmax);
    }
    textio::write_formatted<kPrompt<kAskAngles>>(kConsoleOut);
    textio::read_list(kConsoleIn, a1, a2, n);

    // n - 1 in double: no integer overflow for the most negative count. One
    // point divides by zero; its angle is then NaN and the first cosine ends
    // the run.
    da = static_cast<float>((double{a2} - double{a1}) / (static_cast<double>(n) - 1.0));
    textio::write_list(kOut, n);

    for (std::int64_t i = 1; i <= n; ++i) {
      theta = static_cast<float>((static_cast<double>(i - 1) * da + a1) * degree);
      if (c == 1) {
        x = static_cast<float>(checked_cos(theta) * rc + xc);
        y = static_cast<float>(checked_sin(theta) * rc);
      } else if (c == 2) {
        // rho = f / cos^2(theta / 2), with only one of the two cosines rounded.
        t = static_cast<float>(checked_cos(theta / 2.0));
        rho_p = static_cast<float>(f / (checked_cos(theta / 2.0) * t));
        x = static_cast<float>(checked_cos(theta) * rho_p + xc);
        y = static_cast<float>(checked_sin(theta) * rho_p);
      } else if (c == 3) {
        // Negative for e below 1, which puts the vertex on the -X side of the
        // focus; Y alone is turned back so the arc stays above the axis.
        rho_e = static_cast<float>((double{e} * e - 1.0) * rmax / (checked_cos(theta) * e + 1.0));
        x = static_cast<float>(checked_cos(theta) * rho_e + xc);
        y = static_cast<float>(-(checked_sin(theta) * rho_e));
      }
      textio::write_formatted<kPoint>(kConsoleOut, x, y);
      textio::write_formatted<kPoint>(kOut, x, y);
    }
  }

  if (c == 4) {
    textio::write_formatted<kPrompt<kAskInner>>(kConsoleOut);
    textio::read_list(kConsoleIn, zi, ri);
    textio::write_formatted<kPrompt<kAskOuter>>(kConsoleOut);
    textio::read_list(kConsoleIn, zo, ro);
    span = static_cast<float>(double{ro} - double{ri});

    textio::write_formatted<kPrompt<kAskCount>>(kConsoleOut);
    textio::read_list(kConsoleIn, n);
    textio::write_list(kOut, n);
    dr = static_cast<float>((double{ro} - double{ri}) / (static_cast<double>(n) - 1.0));

    textio::write_formatted<kPrompt<kAskFactor>>(kConsoleOut);
    textio::read_list(kConsoleIn, a);
    textio::write_formatted<kPrompt<kAskExponent>>(kConsoleOut);
    textio::read_list(kConsoleIn, p);

    for (std::int64_t i = 1; i <= n; ++i) {
      r = static_cast<float>(static_cast<double>(i - 1) * dr + ri);
      // Parts of one expression, not rounded: the distance from the inner
      // radius, the quarter-wave sine of it and the blend weight.
      const double u = double{r} - double{ri};
      const double s = checked_sin(u * pi / (2.0 * span));
      const double w = a * textio::real_pow(s, p) + (1.0 - a) * u / span;
      z = static_cast<float>((double{zo} - double{zi}) * w + zi);
      textio::write_formatted<kPoint>(kOut, z, r);
    }
  }

  textio::close_file(kOut);
  textio::end_run();
}
