// domeprofile's dialogue: the curve, the output file, then the questions of
// that curve. Curves 1 to 3 (and any number below 1) are swept over angles;
// curve 4 over radius; a number above 4 asks nothing more.
#pragma once

#include <string_view>

#include "cli/dialogue.h"

namespace domeprofile {

inline constexpr std::string_view kBanner = "Curved radome section points";

inline constexpr cli::Step kAskCurve{"curve", "Enter curve: 1 circle, 2 parabola, 3 ellipse, 4 Sinusoidal",
                                     "one integer: 1 circle, 2 parabola, 3 ellipse, 4 sinusoidal"};
inline constexpr cli::Step kAskFile{"file", "Enter output file",
                                    "file name of up to 40 characters; blank takes NAME or asks again"};
inline constexpr cli::Step kAskCenter{"center", "Enter center (focus) along X-axis",
                                      "one real: xc, the circle's center or the focus", cli::at_most("curve", 3)};
inline constexpr cli::Step kAskRadius{"radius", "Enter circle radius", "one real: the radius Rc",
                                      cli::in("curve", {1})};
inline constexpr cli::Step kAskFocal{"focal", "Enter parabola focal length", "one real: the focal length f",
                                     cli::in("curve", {2})};
inline constexpr cli::Step kAskEllipse{"ellipse", "Enter ellipse eccentricity, max. radius",
                                       "two reals: the eccentricity e and the semi-major axis Rmax",
                                       cli::in("curve", {3})};
inline constexpr cli::Step kAskAngles{"angles", "Enter angle start, stop, #",
                                      "two reals and an integer: first, last angle (degrees); points",
                                      cli::at_most("curve", 3)};
inline constexpr cli::Step kAskInner{"inner", "Enter inner point: Z, R", "two reals: the inner point Zi, Ri",
                                     cli::in("curve", {4})};
inline constexpr cli::Step kAskOuter{"outer", "Enter outer point: Z, R", "two reals: the outer point Zo, Ro",
                                     cli::in("curve", {4})};
inline constexpr cli::Step kAskCount{"count", "Enter number of radius points", "one integer: the number of points",
                                     cli::in("curve", {4})};
inline constexpr cli::Step kAskFactor{"factor", "Enter sinusoidal factor A: (0 - 1) with (1-A) linear",
                                      "one real: A, the sinusoidal share, 0 to 1", cli::in("curve", {4})};
inline constexpr cli::Step kAskExponent{"exponent", "Enter sinusoidal factor exponent",
                                        "one real: p, the exponent on the sine", cli::in("curve", {4})};

inline constexpr cli::Step kSteps[] = {kAskCurve,  kAskFile,  kAskCenter, kAskRadius, kAskFocal,  kAskEllipse,
                                       kAskAngles, kAskInner, kAskOuter,  kAskCount,  kAskFactor, kAskExponent};
static_assert(cli::well_formed(kSteps));

inline constexpr std::string_view kExamples[] = {"domeprofile-circle.answers", "domeprofile-parabola.answers",
                                                 "domeprofile-ellipse.answers", "domeprofile-sinusoid.answers"};

inline constexpr cli::Dialogue kDialogue{
    .name = "domeprofile",
    .arguments = "[NAME]",
    .summary = "Writes the points of a curved radome section.",
    .writes =
        "and writes the number of points, then X, Y (curves 1 to 3) or Z, R (curve 4)\n"
        "of each, with CR LF line ends.",
    .banner = kBanner,
    .steps = kSteps,
    .examples = kExamples,
};

}  // namespace domeprofile
